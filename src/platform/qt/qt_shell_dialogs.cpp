#include "platform/qt/qt_shell_dialogs.h"

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>

#include "platform/qt/qt_handles.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

QString DesktopFolder() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return QDir(desktop).exists() ? desktop : QDir::homePath();
}

}  // namespace

// The picker has no place for a prompt above its tree: the prompt is its title.
Text QtShellDialogs::PickFolder(NativeHandle owner, const Text& prompt) {
  QFileDialog dialog(WidgetOf(owner), ToQString(prompt), DesktopFolder());
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (runDialog_(dialog) != QDialog::Accepted) return {};
  const QString chosen = dialog.selectedFiles().value(0);
  return chosen.isEmpty() ? Text() : ToText(QDir::cleanPath(chosen));
}

void QtShellDialogs::ShowAboutBox(NativeHandle owner, const Text& appName, const Text& otherText,
                                  NativeHandle icon) {
  QMessageBox box(WidgetOf(owner));
  box.setWindowTitle(ToQString(appName));
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(appName));
  box.setInformativeText(ShownWithLineBreaks(otherText));
  const QIcon shown = IconOf(icon);
  if (!shown.isNull()) box.setIconPixmap(shown.pixmap(32, 32));
  box.setStandardButtons(QMessageBox::Ok);
  runDialog_(box);
}

}  // namespace quernel::qt
