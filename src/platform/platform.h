#pragma once

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/shell_dialogs.h"
#include "platform/start_up.h"
#include "platform/window_runtime.h"

namespace quernel {

// The services of one platform, as the program sees them.
struct Platform {
  WindowRuntime& window;
  FileSystem& files;
  ShellDialogs& shell;
  CodePage& codePage;
};

}  // namespace quernel
