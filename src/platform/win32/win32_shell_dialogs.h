#pragma once

#include "platform/shell_dialogs.h"
#include "platform/win32/win32_window_runtime.h"

// ShellDialogs on Win32: SHBrowseForFolderW and ShellAboutW, owned by the
// window's form. COM must be initialised apartment-threaded on the calling
// thread (wWinMain does it).
namespace quernel::win32 {

class Win32ShellDialogs final : public ShellDialogs {
 public:
  explicit Win32ShellDialogs(const Win32WindowRuntime& window) : window_(window) {}
  Text PickFolder(const Text& prompt) override;
  void ShowAboutBox(const Text& appName, const Text& otherText) override;

 private:
  const Win32WindowRuntime& window_;
};

}  // namespace quernel::win32
