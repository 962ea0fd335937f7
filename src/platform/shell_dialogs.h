#pragma once

#include "design/text.h"
#include "platform/window_runtime.h"

// The shell's dialogs: the folder picker and the About box.
namespace quernel {

class ShellDialogs {
 public:
  virtual ~ShellDialogs() = default;

  // The shell's folder picker, modal to `owner`, opening at the desktop with
  // nothing preselected, confirming file-system folders only, `prompt` above
  // the tree. Returns the chosen folder's path as the shell gives it, or the
  // empty text when the user cancels or the shell yields no path.
  virtual Text PickFolder(NativeHandle owner, const Text& prompt) = 0;
  // The shell's About box, modal to `owner`: the application's name, a
  // further text and an icon. Returns when the user closes it.
  virtual void ShowAboutBox(NativeHandle owner, const Text& appName, const Text& otherText,
                            NativeHandle icon) = 0;
};

}  // namespace quernel
