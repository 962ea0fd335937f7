#include "qt_test_support.h"

#include <QtGui/QInputMethodEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include "platform/qt/qt_text.h"

namespace quernel::testing {

std::function<int(QDialog&)> BoxRecorder::Runner() {
  return [this](QDialog& dialog) {
    SeenBox seen{dialog.windowTitle(), {}, {}, QMessageBox::NoIcon, false, dialog.parentWidget()};
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      seen.text = box->text();
      seen.informativeText = box->informativeText();
      seen.icon = box->icon();
      seen.hasPixmap = !box->iconPixmap().isNull();
    }
    boxes.push_back(seen);
    return answer ? answer(dialog) : int(QDialog::Accepted);
  };
}

QWidget* Find(QWidget* form, std::string_view name) {
  const QString wanted = ToQString(Text(name));
  return form->objectName() == wanted ? form : form->findChild<QWidget*>(wanted);
}

void TypeInto(QWidget* widget, const QString& text) {
  widget->setFocus(Qt::MouseFocusReason);
  QWidget* target = widget->focusProxy() ? widget->focusProxy() : widget;
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(target, &commit);
}

void PressAlt(QWidget* form, char key) {
  QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, key, Qt::AltModifier);
  QTest::qWait(150);  // a button shows itself pressed for 100 ms before its click
}

void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(widget, key, modifiers);
}

void ClickWithMouse(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace quernel::testing
