#pragma once

#include <QtGui/QIcon>
#include <QtWidgets/QMessageBox>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "platform/qt/qt_form_window.h"
#include "platform/qt/qt_launcher.h"
#include "platform/qt/qt_modal.h"
#include "platform/window_runtime.h"

// WindowRuntime on Qt 6 Widgets: frmMain built from the design table, the
// event rule, the busy pointer, message boxes, the work folder's lock, and
// the listing's run and the opener through the launcher.
namespace quernel::qt {

struct QtRuntimeSettings {
  std::optional<Text> programFolder;  // a test's folder instead of the executable's
  DialogRunner runDialog = ExecDialog;
  // A test's user, acting on the form once a listing's run is waited for
  // and before its end can be noticed.
  std::function<void(QWidget& form)> whileRunWaited = {};
};

class QtWindowRuntime final : public WindowRuntime {
 public:
  explicit QtWindowRuntime(QtRuntimeSettings settings = {});
  ~QtWindowRuntime() override;

  Result<void> CreateForm(FormEvents& events) override;
  void ShowForm() override;
  void RunUntilClosed() override;
  void CloseForm() override;

  Text GetText(ControlId control) const override;
  void SetText(ControlId control, const Text& text) override;
  int GetValue(ControlId control) const override;
  void SetValue(ControlId control, int value) override;
  int GetListIndex(ControlId control) const override;
  void SetListIndex(ControlId control, int index) override;
  void AddItem(ControlId control, const Text& entry) override;
  bool IsEnabled(ControlId control) const override;
  void SetEnabled(ControlId control, bool enabled) override;
  void SetFontSize(ControlId control, double points) override;

  Text ProgramFolder() const override;
  Text UserWorkFolder() const override;
  bool IsInstalled() const override;

  void SetMousePointer(MousePointer pointer) override;
  void ShowMessage(const Text& prompt, MessageStyle style) override;
  bool Ask(const Text& prompt) override;
  std::unique_ptr<FolderLock> LockFolder(const Text& folder, std::chrono::milliseconds patience) override;
  Result<RunEnd> RunListing(const ListingRun& run, const std::function<bool()>& stopWanted) override;
  Result<void> OpenListing(const Text& listing) override;
  Result<void> OpenHelp(const Text& page) override;
  Text ViewerName() const override;
  char PathSeparator() const override { return '/'; }

  FormWindow* Form() const { return form_.get(); }
  const QIcon& Icon() const { return icon_; }
  QtLauncher& Launcher() { return launcher_; }

 private:
  QWidget* Widget(ControlId control) const;
  template <class T>
  T* As(ControlId control) const;
  void ConnectUserEvents();
  void RaiseClick(ControlId control);
  bool WaitForRun(QProcess& interpreter, const std::function<bool()>& stopWanted);
  int RunMessageBox(const Text& prompt, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons);

  QtRuntimeSettings settings_;
  QtLauncher launcher_;
  QIcon icon_;
  std::unique_ptr<FormWindow> form_;
  std::array<QWidget*, kControlCount> controls_{};
  std::set<ControlId> typedOver_;  // editable lists the user typed into: no entry selected
  FormEvents* events_ = nullptr;
  bool closed_ = false;
  bool busy_ = false;
};

}  // namespace quernel::qt
