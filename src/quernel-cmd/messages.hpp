#pragma once

#include "charset.hpp"
#include "locale_settings.hpp"

#include <string>

namespace quernel::cmd {

// A failure cmd reports on stderr, with the text that goes with it.
struct CommandError {
    enum class Kind {
        unknown_command,
        invalid_switch,
        parameter_format,
        too_many_parameters,
        syntax,
        file_not_found,
        path_not_found,
        access_denied,
        disk_full,
        invalid_name,
        system_message,  // no wording of cmd's: the system's text is in `detail`
    };
    Kind kind;
    std::string detail;
};

// The error for a failed system call: cmd's own message where Windows has
// one for the cause, otherwise the system's description (UTF-8).
CommandError error_from_errno(int error_number, Charset& charset);

// cmd's wording for the error in the given language, without a line end.
std::string describe(const CommandError& error, Language language);

}  // namespace quernel::cmd
