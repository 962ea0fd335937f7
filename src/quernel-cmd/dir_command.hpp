#pragma once

#include "charset.hpp"
#include "dir_options.hpp"
#include "locale_settings.hpp"
#include "output.hpp"

#include <string>

namespace quernel::cmd {

struct DirContext {
    const LocaleSettings& locale;
    Charset& charset;
    std::string cwd;  // UTF-8
};

// Runs one dir command. Returns cmd's errorlevel: 0 when something was
// listed, 1 when nothing matched or the folder is missing.
int run_dir(const DirOptions& options, DirContext& context, TextSink& out, TextSink& err);

}  // namespace quernel::cmd
