#include "platform/qt/qt_form_window.h"

#include <QtGui/QCloseEvent>
#include <QtWidgets/QAbstractButton>

namespace quernel::qt {

FormWindow::FormWindow() {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

// QDialog calls reject() for Esc.
void FormWindow::reject() {
  if (cancel_ && cancel_->isEnabled()) cancel_->click();
}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace quernel::qt
