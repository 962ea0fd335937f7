#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>

#include "base/result.h"
#include "design/form_design.h"
#include "design/text.h"
#include "platform/win32/win32_api.h"

// The window frmMain built from the shared design table: one standard
// control a design entry, numbered ControlNumber(id) and stacked in the order
// the dialog manager takes as focus order, at the designed place at the
// window's DPI, in a Chinese face. The frames are group boxes; the form
// paints the separator's two lines and gives the designed text colours.
namespace quernel::win32 {

// The number GetDlgCtrlID gives for the control's window, and back.
int ControlNumber(ControlId control);
std::optional<ControlId> ControlNumbered(int number);

class FormBuilder {
 public:
  explicit FormBuilder(HINSTANCE instance) : instance_(instance) {}
  ~FormBuilder();
  FormBuilder(const FormBuilder&) = delete;
  FormBuilder& operator=(const FormBuilder&) = delete;

  // The form window, whose procedure gets `owner` with WM_NCCREATE, and its
  // controls; else the system's words why not.
  Result<void> Build(WNDPROC procedure, void* owner);
  // WM_DESTROY: the windows are gone.
  void Forget();

  HWND Form() const { return form_; }
  HICON Icon() const { return icon_; }
  HWND Window(ControlId control) const { return windows_[static_cast<std::size_t>(control)]; }
  std::optional<ControlId> ControlOf(HWND window) const;

  void SetFontSize(ControlId control, double points);
  // A label fits its text again after the text changed.
  void TextChanged(ControlId control);
  void ChangeDpi(UINT dpi, const RECT& suggested);
  void Paint(HDC dc) const;
  // WM_CTLCOLOR...: the designed text colour on the platform's background.
  LRESULT ControlColour(UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  void CreateControl(const ControlDesign& design, HWND& previous);
  void CreateHoverHint(const ControlDesign& design);
  void PlaceForm();
  void PlaceControls();
  HFONT Font(double points);
  void ApplyFont(ControlId control);
  int Pixels(int twips) const;

  HINSTANCE instance_;
  HWND form_ = nullptr;
  HWND hint_ = nullptr;
  HICON icon_ = nullptr;
  std::array<HWND, kControlCount> windows_{};  // null for the lines
  std::array<double, kControlCount> points_{};
  std::map<int, HFONT> fonts_;  // by tenths of a point, at dpi_
  std::wstring face_;
  UINT dpi_ = 96;
};

}  // namespace quernel::win32
