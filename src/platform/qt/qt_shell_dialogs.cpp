#include "platform/qt/qt_shell_dialogs.h"

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

QString DesktopFolder() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return QDir(desktop).exists() ? desktop : QDir::homePath();
}

}  // namespace

// The picker has no place for a prompt above its tree: the prompt is its title.
Text QtShellDialogs::PickFolder(const Text& prompt) {
  QFileDialog dialog(window_.Form(), ToQString(prompt), DesktopFolder());
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (runDialog_(dialog) != QDialog::Accepted) return {};
  const QString chosen = dialog.selectedFiles().value(0);
  return chosen.isEmpty() ? Text() : ToText(QDir::cleanPath(chosen));
}

void QtShellDialogs::ShowAboutBox(const Text& appName, const Text& otherText) {
  QMessageBox box(window_.Form());
  box.setWindowTitle(ToQString(appName));
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(appName));
  box.setInformativeText(ShownWithLineBreaks(otherText));
  if (const QIcon& icon = window_.Icon(); !icon.isNull()) box.setIconPixmap(icon.pixmap(32, 32));
  box.setStandardButtons(QMessageBox::Ok);
  runDialog_(box);
}

}  // namespace quernel::qt
