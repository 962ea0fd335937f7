#pragma once

// What the Qt back-end's tests share besides tests/support: the modal boxes,
// answered at once and recorded; the whole program; a user's keys.

#include <QtTest/QTest>
#include <QtWidgets/QtWidgets>

#include "core/frm_main.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_shell_dialogs.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_runtime.h"
#include "support/test_support.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace quernel::testing {

using namespace quernel::qt;

struct SeenBox {
  QString title, text, informativeText;
  QMessageBox::Icon icon;
  bool hasPixmap;
  QWidget* owner;
};

// Answers every modal box with OK, or with `answer` (which may act on the
// dialog first: choose a folder), and remembers what it showed.
struct BoxRecorder {
  std::vector<SeenBox> boxes;
  std::function<int(QDialog&)> answer;
  DialogRunner Runner() {
    return [this](QDialog& dialog) {
      const auto* box = qobject_cast<QMessageBox*>(&dialog);
      boxes.push_back({dialog.windowTitle(), box ? box->text() : "", box ? box->informativeText() : "",
                       box ? box->icon() : QMessageBox::NoIcon, box && !box->iconPixmap().isNull(),
                       dialog.parentWidget()});
      return answer ? answer(dialog) : int(QDialog::Accepted);
    };
  }
};

// RunQuernel with the real services, the program's folder given: `user` acts
// on the window, which is closed after (or after 30 s, should it hang). The
// files the viewer would open are recorded, not opened; batch files run.
struct WholeProgram {
  BoxRecorder boxes;
  std::vector<QStringList> opened;
  void Run(const Text& programFolder, CodePage& codePage, const std::function<void(QWidget*)>& user) {
    QtWindowRuntime window{QtRuntimeSettings{programFolder, boxes.Runner()}};
    window.Launcher().intercept = [this](const LaunchPlan& plan) -> std::optional<Launch> {
      struct Opened final : Process {};
      if (plan.program != "xdg-open") return std::nullopt;
      opened.push_back(plan.arguments);
      return Launch{std::make_unique<Opened>(), {}};
    };
    posix::PosixFileSystem files;
    QtShellDialogs shell{boxes.Runner()};
    QTimer::singleShot(0, [&] {
      QWidget* form = window.Form();
      QTimer::singleShot(30000, form, [form] { form->close(); });
      EXPECT_TRUE(QTest::qWaitForWindowActive(form));
      user(form);
      if (window.Form()) window.Form()->close();
    });
    RunQuernel({window, files, shell, codePage});
  }
};

inline QWidget* Find(QWidget* form, const char* name) {
  return form->objectName() == name ? form : form->findChild<QWidget*>(name);
}
// Text as an input method commits it (Chinese included).
inline void TypeInto(QWidget* widget, const QString& text) {
  widget->setFocus(Qt::MouseFocusReason);
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(widget->focusProxy() ? widget->focusProxy() : widget, &commit);
}
// Alt+key, and the 100 ms a button shows itself pressed before its click.
inline void PressAlt(QWidget* form, char key) {
  QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, key, Qt::AltModifier);
  QTest::qWait(150);
}
inline void Click(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton);
}
// Lets queued window work happen (painting, activation).
inline void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace quernel::testing
