#pragma once

#include <memory>

#include "platform/win32/win32_api.h"
#include "platform/window_runtime.h"

// WindowRuntime on Win32: frmMain built by FormBuilder; the dialog manager
// (IsDialogMessage) gives the focus order, Enter, Esc and access keys; the
// controls' notifications become Clicks (a list's through ListPicks). Items
// dropped on the window come by OLE (FileDropTarget) or, from older
// programs, by WM_DROPFILES. Also the program's folders, the mouse pointer,
// MessageBoxW, the work folder's lock (win32_folder_lock) and what the program
// starts (win32_launch).
namespace quernel::win32 {

class Win32WindowRuntime final : public WindowRuntime {
 public:
  explicit Win32WindowRuntime(HINSTANCE instance);
  ~Win32WindowRuntime() override;
  Win32WindowRuntime(const Win32WindowRuntime&) = delete;
  Win32WindowRuntime& operator=(const Win32WindowRuntime&) = delete;

  Result<void> CreateForm(FormEvents& events) override;
  void ShowForm() override;
  void RunUntilClosed() override;
  void CloseForm() override;
  // The form and its icon, for the shell dialogs it owns.
  HWND Form() const;
  HICON Icon() const;

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

  // The control's window, null for the lines.
  HWND ControlWindow(ControlId control) const;

 private:
  struct Session;  // the built form and what its window procedure keeps
  std::unique_ptr<Session> session_;
};

}  // namespace quernel::win32
