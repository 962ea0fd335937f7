#pragma once

// What the Qt back-end's tests share: a temporary folder, a recorder of the
// modal boxes the back-end shows, and a user's keys and clicks.

#include <QtWidgets/QDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QWidget>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/window_runtime.h"

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace quernel::qt::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  Text Name() const { return path_.string(); }
  std::string Read(const std::string& relative) const;
  void Write(const std::string& relative, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

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

struct RecordingEvents final : FormEvents {
  void Click(ControlId control) override {
    clicks.push_back(control);
    if (onClick) onClick(control);
  }
  bool CanDrop(const std::vector<Text>& paths) override {
    offered.push_back(paths);
    return takesDrops;
  }
  void Drop(const std::vector<Text>& paths) override { dropped.push_back(paths); }
  std::vector<ControlId> clicks;
  std::function<void(ControlId)> onClick;
  std::vector<std::vector<Text>> offered, dropped;
  bool takesDrops = true;
};

QWidget* Find(QWidget* form, std::string_view name);
// Types text as an input method commits it (Chinese included).
void TypeInto(QWidget* widget, const QString& text);
// Alt+key, and the time a button takes to show its click.
void PressAlt(QWidget* form, char key);
void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void ClickWithMouse(QWidget* widget);
// Lets queued window work happen (painting, activation).
void Settle();

}  // namespace quernel::qt::testing
