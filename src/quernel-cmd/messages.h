#pragma once

#include <string>

#include "quernel-cmd/charset.h"
#include "quernel-cmd/locale_settings.h"

namespace quernel::cmd {

// A failure cmd reports on stderr, with the text that goes with it.
struct CommandError {
  enum class Kind {
    UnknownCommand,
    InvalidSwitch,
    ParameterFormat,
    TooManyParameters,
    Syntax,
    FileNotFound,
    PathNotFound,
    AccessDenied,
    DiskFull,
    InvalidName,
    SystemMessage,  // no wording of cmd's: the system's text is in `detail`
  };
  Kind kind;
  std::string detail;
};

// The error for a failed system call: cmd's own message where Windows has
// one for the cause, otherwise the system's description (UTF-8).
CommandError ErrorFromErrno(int error_number, Charset& charset);

// cmd's wording for the error in the given language, without a line end.
std::string Describe(const CommandError& error, Language language);

}  // namespace quernel::cmd
