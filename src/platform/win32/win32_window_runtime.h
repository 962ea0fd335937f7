#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
// After windows.h:
#include <ole2.h>

#include "platform/window_runtime.h"

// WindowRuntime on Win32: frmMain as a top-level window of standard controls
// built from the design table and placed at the window's DPI; the dialog
// manager (IsDialogMessage) gives the focus order, Enter, Esc and access
// keys. Items dropped on the window come by OLE (FileDropTarget) or, from
// older programs, by WM_DROPFILES. Also the program's folders, the mouse pointer, MessageBoxW and
// CreateProcessW.
namespace quernel::win32 {

class Win32WindowRuntime final : public WindowRuntime {
 public:
  explicit Win32WindowRuntime(HINSTANCE instance);
  ~Win32WindowRuntime() override;
  Win32WindowRuntime(const Win32WindowRuntime&) = delete;
  Win32WindowRuntime& operator=(const Win32WindowRuntime&) = delete;

  std::optional<Text> CreateForm(FormEvents& events) override;
  void ShowForm() override;
  void RunUntilClosed() override;
  void CloseForm() override;
  NativeHandle FormHandle() const override;
  NativeHandle FormIcon() const override;

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
  void SetMousePointer(MousePointer pointer) override;
  void ShowMessage(const Text& prompt, MessageStyle style) override;
  Launch LaunchProgram(const LaunchRequest& request) override;
  ProcessEnd WaitWhilePainting(Process& process) override;

  // The control's window (a frame's: its caption), null for the lines.
  HWND ControlWindow(ControlId control) const;
  // The number GetDlgCtrlID gives for the control's window.
  static int ControlNumber(ControlId control);

 private:
  struct Control {
    HWND window = nullptr;  // a frame's: its caption
    double points = 0;
  };
  // What a drop-down list remembers between the notifications of one pick.
  struct ListPick {
    bool dropped = false;
    int raisedPick = -1;     // the entry whose Click CBN_SELENDOK raised, or -1
    bool typedOver = false;  // the user typed: no entry is selected
    int indexAtDrop = -1;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int number, int code);
  void OnListNotification(ControlId list, int code);
  void UserClick(ControlId control);
  LRESULT OnControlColour(UINT message, WPARAM wParam, LPARAM lParam);
  void AcceptDrops();
  bool CanDrop(const std::vector<Text>& paths) const;
  void Drop(const std::vector<Text>& paths);
  void PaintFrames(HDC dc) const;
  void PaintLines(HDC dc) const;

  void CreateControl(const ControlDesign& design, HWND& previous);
  bool ContinuesOptions(const ControlDesign& design, HWND previous) const;
  void CreateHoverHint(const ControlDesign& design);
  void PlaceForm();
  void PlaceControls();
  void FitToText(HWND label, int left, int top, int padding) const;
  HFONT Font(double points);
  void ApplyFont(ControlId control);
  void CheckOption(ControlId option);
  void Raise(ControlId control);
  int Pixels(int twips) const;

  const Control& At(ControlId control) const { return controls_[static_cast<std::size_t>(control)]; }
  Control& At(ControlId control) { return controls_[static_cast<std::size_t>(control)]; }
  std::optional<ControlId> ControlOf(HWND window) const;

  HINSTANCE instance_;
  HWND form_ = nullptr;
  HWND hint_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  FormEvents* events_ = nullptr;
  IDropTarget* dropTarget_ = nullptr;
  std::array<Control, kControlCount> controls_{};
  std::map<ControlId, ListPick> picks_;
  std::map<int, HFONT> fonts_;  // by tenths of a point, at dpi_
  std::wstring face_;
  UINT dpi_ = 96;
  HWND focusWhenInactive_ = nullptr;
  bool busy_ = false;
  bool waiting_ = false;
};

}  // namespace quernel::win32
