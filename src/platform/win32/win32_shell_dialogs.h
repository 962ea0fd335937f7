#pragma once

#include "platform/shell_dialogs.h"

// ShellDialogs on Win32: SHBrowseForFolderW and ShellAboutW. COM must be
// initialised apartment-threaded on the calling thread (wWinMain does it).
namespace quernel::win32 {

class Win32ShellDialogs final : public ShellDialogs {
 public:
  Text PickFolder(NativeHandle owner, const Text& prompt) override;
  void ShowAboutBox(NativeHandle owner, const Text& appName, const Text& otherText,
                    NativeHandle icon) override;
};

}  // namespace quernel::win32
