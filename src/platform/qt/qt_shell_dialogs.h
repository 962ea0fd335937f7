#pragma once

#include "platform/qt/qt_modal.h"
#include "platform/shell_dialogs.h"

// ShellDialogs on Qt: the folder picker is QFileDialog in folder mode, the
// About box a message box with the program's icon.
namespace quernel::qt {

class QtShellDialogs final : public ShellDialogs {
 public:
  explicit QtShellDialogs(DialogRunner runDialog = ExecDialog) : runDialog_(std::move(runDialog)) {}

  Text PickFolder(NativeHandle owner, const Text& prompt) override;
  void ShowAboutBox(NativeHandle owner, const Text& appName, const Text& otherText,
                    NativeHandle icon) override;

 private:
  DialogRunner runDialog_;
};

}  // namespace quernel::qt
