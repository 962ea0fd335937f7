#pragma once

#include <vector>

#include "platform/start_up.h"
#include "platform/win32/win32_api.h"
// After windows.h:
#include <shellapi.h>

// What comes into the program from outside its window: its command line, read
// as Unicode whatever the code page, and the paths of dropped items.
namespace quernel::win32 {

// The arguments after the program's name, split as CommandLineToArgvW splits
// them.
std::vector<Text> ArgumentsOf(const wchar_t* commandLine);
// The program's own arguments and the folder it was started in.
StartUp ReadStartUp();
// The paths in a list of dropped files, in their order.
std::vector<Text> DroppedPaths(HDROP drop);

}  // namespace quernel::win32
