#pragma once

#include "platform/qt/qt_modal.h"
#include "platform/qt/qt_window_runtime.h"
#include "platform/shell_dialogs.h"

// ShellDialogs on Qt: the folder picker is QFileDialog in folder mode, the
// About box a message box with the program's icon; both owned by the form.
namespace quernel::qt {

class QtShellDialogs final : public ShellDialogs {
 public:
  explicit QtShellDialogs(const QtWindowRuntime& window, DialogRunner runDialog = ExecDialog)
      : window_(window), runDialog_(std::move(runDialog)) {}

  Text PickFolder(const Text& prompt) override;
  void ShowAboutBox(const Text& appName, const Text& otherText) override;

 private:
  const QtWindowRuntime& window_;
  DialogRunner runDialog_;
};

}  // namespace quernel::qt
