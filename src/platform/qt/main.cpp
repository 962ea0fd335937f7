// quernel: the program on a Linux desktop, with the Qt 6 back-end.
//
//   quernel [folder]   starts with the folder (or a file's folder) in the
//                      folder field; --help and --version say what they do;
//                      after "--" every argument is a folder
//
// Two switches for its own checks, from the environment:
//   QUERNEL_SCREENSHOT=<file.png>  saves the window once it is painted, then
//                                  closes it (for machines without a display)
//   QUERNEL_STARTUP_TIME=1         prints the milliseconds from the process's
//                                  start to the window's first paint

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>

#include "core/frm_main.h"
#include "platform/posix/posix_code_page.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_command_line.h"
#include "platform/qt/qt_first_paint.h"
#include "platform/qt/qt_shell_dialogs.h"
#include "platform/qt/qt_window_runtime.h"

int main(int argc, char* argv[]) {
  quernel::qt::AnswerHelpAndVersion(argc, argv);
  // Qt would take its own options out of the arguments, even after "--":
  // it is given the program's name alone.
  int nameOnly = 1;
  QApplication application(nameOnly, argv);
  quernel::qt::PrepareApplication(application);
  QCommandLineParser commandLine;
  quernel::qt::DescribeCommandLine(commandLine);
  commandLine.parse(quernel::qt::ArgumentsOf(argc, argv));  // answered above when wrong
  quernel::qt::FirstPaintWatcher watcher(qEnvironmentVariable("QUERNEL_SCREENSHOT"),
                                         qEnvironmentVariableIsSet("QUERNEL_STARTUP_TIME"));

  quernel::qt::QtWindowRuntime window;
  quernel::posix::PosixFileSystem files;
  quernel::qt::QtShellDialogs shell(window);
  quernel::posix::PosixCodePage codePage;
  return quernel::RunQuernel({window, files, shell, codePage},
                             quernel::qt::StartUpFrom(commandLine, QDir::currentPath()));
}
