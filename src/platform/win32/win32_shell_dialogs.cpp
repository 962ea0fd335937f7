#include "platform/win32/win32_shell_dialogs.h"

#include "platform/win32/win32_text.h"
// After windows.h:
#include <shellapi.h>
#include <shlobj.h>

namespace quernel::win32 {
namespace {

// The folder's path in full: the shell may give more than MAX_PATH characters.
Text PathOf(PCIDLIST_ABSOLUTE folder) {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 4) {
    std::wstring path(size, L'\0');
    if (SHGetPathFromIDListEx(folder, path.data(), size, GPFIDL_DEFAULT)) {
      path.resize(wcslen(path.c_str()));
      return Utf8(path);
    }
  }
  return {};
}

}  // namespace

Text Win32ShellDialogs::PickFolder(const Text& prompt) {
  const std::wstring title = Wide(prompt);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = window_.Form();
  browse.pszDisplayName = displayName;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&browse);
  if (!folder) return {};
  Text path = PathOf(folder);
  CoTaskMemFree(folder);
  return path;
}

void Win32ShellDialogs::ShowAboutBox(const Text& appName, const Text& otherText) {
  ShellAboutW(window_.Form(), Wide(appName).c_str(), Wide(otherText).c_str(), window_.Icon());
}

}  // namespace quernel::win32
