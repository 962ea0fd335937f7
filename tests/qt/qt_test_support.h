#pragma once

// What the Qt back-end's tests share besides tests/support: a recorder of
// the modal boxes the back-end shows, and a user's keys and clicks.

#include <QtWidgets/QDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QWidget>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_runtime.h"
#include "support/test_support.h"

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace quernel::testing {

using namespace quernel::qt;

// A modal box as the user saw it.
struct SeenBox {
  QString title;
  QString text;
  QString informativeText;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool hasPixmap = false;
  QWidget* owner = nullptr;
};

// Answers every modal box at once, with OK, and remembers it; `answer` may
// act on a dialog first (choose a folder) and give the dialog's result.
struct BoxRecorder {
  std::vector<SeenBox> boxes;
  std::function<int(QDialog&)> answer;
  std::function<int(QDialog&)> Runner();
};

// Records the files the viewer (xdg-open) would open instead of starting
// it; batch files really run.
inline void RecordViewer(QtWindowRuntime& window, std::vector<QStringList>& opened) {
  struct Opened final : Process {};
  window.Launcher().intercept = [&opened](const LaunchPlan& plan) -> std::optional<Launch> {
    if (plan.program != "xdg-open") return std::nullopt;
    opened.push_back(plan.arguments);
    return Launch{std::make_unique<Opened>(), {}};
  };
}

QWidget* Find(QWidget* form, std::string_view name);
// Types text as an input method commits it (Chinese included).
void TypeInto(QWidget* widget, const QString& text);
// Alt+key, and the time a button takes to show its click.
void PressAlt(QWidget* form, char key);
void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void ClickWithMouse(QWidget* widget);
// Lets queued window work happen (painting, activation).
void Settle();

}  // namespace quernel::testing
