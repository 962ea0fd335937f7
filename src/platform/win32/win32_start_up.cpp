#include "platform/win32/win32_start_up.h"

#include <string>
#include <utility>

#include "platform/win32/win32_text.h"

namespace quernel::win32 {

std::vector<Text> ArgumentsOf(const wchar_t* commandLine) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
  if (!arguments) return {};
  std::vector<Text> given;
  for (int i = 1; i < count; ++i) {
    Text argument = Utf8(arguments[i]);
    // No path holds a double quote: one at the end is what the splitting
    // made of a quoted path's closing backslash ("C:\" gives C:").
    if (!argument.empty() && argument.back() == '"') argument.back() = '\\';
    given.push_back(std::move(argument));
  }
  LocalFree(arguments);
  return given;
}

StartUp ReadStartUp() {
  std::wstring folder(MAX_PATH, L'\0');
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  if (length >= folder.size()) {  // the buffer was short: the length includes the ending zero
    folder.resize(length);
    length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  }
  folder.resize(length < folder.size() ? length : 0);
  return {ArgumentsOf(GetCommandLineW()), Utf8(folder)};
}

std::vector<Text> DroppedPaths(HDROP drop) {
  std::vector<Text> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (!path.empty()) paths.push_back(Utf8(path));
  }
  return paths;
}

}  // namespace quernel::win32
