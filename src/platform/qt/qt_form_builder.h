#pragma once

#include <QtCore/QRect>
#include <array>
#include <memory>

#include "design/form_design.h"
#include "platform/qt/qt_form_window.h"

// The window frmMain built from the shared design table: one widget a control,
// named as designed, at the designed place, in its start state.
namespace quernel::qt {

struct BuiltForm {
  std::unique_ptr<FormWindow> window;
  std::array<QWidget*, kControlCount> controls{};  // indexed by ControlId
};

BuiltForm BuildForm();

// Twips to logical pixels: 15 twips a pixel, as at 96 DPI on Windows.
int Pixels(int twips);
QRect PixelRect(int left, int top, int width, int height);

}  // namespace quernel::qt
