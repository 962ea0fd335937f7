#pragma once

#include <QtCore/QProcess>
#include <QtCore/QString>
#include <functional>

#include "platform/window_runtime.h"

// What the Qt back-end starts: the listing's run through quernel-cmd
// (`quernel-cmd /u /d /v:off /c <batch file>`, as cmd on Windows) and the
// desktop's opener for the listing and the help page (`xdg-open <file>`).
// Paths are the host's: the program's backslashes become slashes.
namespace quernel::qt {

// quernel-cmd beside the executable, else $QUERNEL_CMD, else on PATH.
QString FindInterpreter();

struct LauncherPrograms {
  QString interpreter = FindInterpreter();      // runs batch files as cmd does
  QString opener = QStringLiteral("xdg-open");  // hands a file to the desktop's application
};

class QtLauncher {
 public:
  // Starts the batch file through the interpreter, hidden, in "/", in a
  // process group of its own, and gives it to `wait`, which returns once it
  // has ended, or true once the user wants it stopped: the group is then
  // ended. Afterwards the listing the batch file wrote as "Path.txt" has the
  // run's name for it.
  Result<RunEnd> RunListing(const ListingRun& run, const std::function<bool(QProcess& interpreter)>& wait);
  // Hands the file to the opener; fails when the opener cannot start or
  // refuses the file.
  Result<void> Open(const Text& file);

  LauncherPrograms programs;  // a test may put stand-ins in
};

}  // namespace quernel::qt
