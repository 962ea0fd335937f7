#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "quernel-cmd/dir_options.h"
#include "quernel-cmd/messages.h"

namespace quernel::cmd {

using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// Percent handling as cmd does it inside a batch file: "%%" is "%",
// "%NAME%" the variable's value (empty when unset), "%0" the batch file,
// "%1".."%9" and "%*" empty (no arguments are passed), a lone "%" dropped.
std::string ExpandPercents(std::string_view line, const EnvironmentLookup& lookup,
                           std::string_view batch_path);

struct Redirect {
  std::string target;
  bool append = false;
};

struct CommandLine {
  std::vector<Word> words;
  std::optional<Redirect> redirect;
};

// Splits a line into words (spaces and tabs separate them, double quotes
// group and are removed) and takes out a "> file" or ">> file" redirection.
// Pipes and other redirections are not supported and give a syntax error.
Result<CommandLine, CommandError> ParseCommandLine(std::string_view line);

}  // namespace quernel::cmd
