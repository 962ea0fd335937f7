#pragma once

#include "design/text.h"

// The shell's dialogs: the folder picker and the About box.
namespace quernel {

class ShellDialogs {
 public:
  virtual ~ShellDialogs() = default;

  // The shell's folder picker, modal to the program's window, opening at the
  // desktop with nothing preselected, confirming file-system folders only,
  // `prompt` above the tree. Returns the chosen folder's path as the shell
  // gives it, or the empty text when the user cancels or the shell yields no
  // path.
  virtual Text PickFolder(const Text& prompt) = 0;
  // The shell's About box, modal to the program's window, with its icon: the
  // application's name and a further text. Returns when the user closes it.
  virtual void ShowAboutBox(const Text& appName, const Text& otherText) = 0;
};

}  // namespace quernel
