#pragma once

#include <QtGui/QIcon>
#include <QtWidgets/QWidget>

#include "platform/window_runtime.h"

// NativeHandle on Qt: an opaque token that is the address of the QWidget (the
// form) or of the QIcon (the form's icon), passed between the window runtime
// and the shell dialogs.
namespace quernel::qt {

inline NativeHandle HandleOf(const QWidget* widget) {
  return reinterpret_cast<NativeHandle>(widget);
}
inline NativeHandle HandleOf(const QIcon* icon) {
  return reinterpret_cast<NativeHandle>(icon);
}
inline QWidget* WidgetOf(NativeHandle handle) {
  return reinterpret_cast<QWidget*>(handle);
}
inline QIcon IconOf(NativeHandle handle) {
  return handle ? *reinterpret_cast<const QIcon*>(handle) : QIcon();
}

}  // namespace quernel::qt
