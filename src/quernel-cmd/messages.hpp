#pragma once

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
    };
    Kind kind;
    std::string detail;
};

// cmd's wording for the error in the given language, without a line end.
std::string describe(const CommandError& error, Language language);

}  // namespace quernel::cmd
