#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quernel-cmd/charset.h"
#include "quernel-cmd/command_line.h"
#include "quernel-cmd/locale_settings.h"
#include "quernel-cmd/output.h"

namespace quernel::cmd {

// Opens a redirection's target (a host path) for writing as open(2) does:
// a descriptor, or -1 with errno set. The one way a batch writes a file.
using TargetOpener = std::function<int(const std::string& host_path, int flags)>;
int OpenTarget(const std::string& host_path, int flags);

struct BatchContext {
  const LocaleSettings& locale;
  Charset& charset;          // of names, variables and messages
  Charset& listing_charset;  // of what dir writes to a file
  EnvironmentLookup lookup;
  TextSink& out;
  TextSink& err;
  std::string batch_path;  // UTF-8, for %0
  TargetOpener open = OpenTarget;
};

// Runs a batch file's text (UTF-8) line by line; knows "exit" and "dir".
// Stops at "exit" or at the first error, which is reported on stderr.
// Returns the process exit code.
int RunBatch(std::string_view text, BatchContext& context);

// The environment as a batch file sees it: names are case-insensitive.
std::optional<std::string> LookupEnvironment(std::string_view name, Charset& charset);

}  // namespace quernel::cmd
