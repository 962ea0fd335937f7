#pragma once

#include <string>

#include "quernel-cmd/charset.h"
#include "quernel-cmd/dir_options.h"
#include "quernel-cmd/locale_settings.h"
#include "quernel-cmd/output.h"

namespace quernel::cmd {

struct DirContext {
  const LocaleSettings& locale;
  Charset& charset;
  std::string cwd;  // UTF-8
};

struct DirStatus {
  int errorlevel = 0;   // cmd's: 0 when something was listed, else 1
  bool failed = false;  // an error was reported: the listing is not whole
};

// Runs one dir command. Nothing matching, or a missing folder, is "File Not
// Found" and errorlevel 1; a folder that cannot be read, or entries whose
// details cannot, are errors: what can be listed is, and the rest is named
// on `err` with the reason.
DirStatus RunDir(const DirOptions& options, DirContext& context, TextSink& out, TextSink& err);

}  // namespace quernel::cmd
