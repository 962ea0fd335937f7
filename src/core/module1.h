#pragma once

#include "design/text.h"
#include "platform/shell_dialogs.h"

namespace quernel::Module1 {

// Shows the shell's folder picker and returns the chosen folder's path, or
// the empty text when the user cancels or the shell yields no path.
Text BrowseForFolder(ShellDialogs& shell, const Text& prompt);

}  // namespace quernel::Module1
