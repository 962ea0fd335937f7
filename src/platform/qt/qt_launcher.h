#pragma once

#include <QtCore/QProcess>
#include <QtCore/QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "platform/window_runtime.h"

// LaunchProgram on Linux: the Windows command lines the program forms, run
// with their Linux counterparts.
//   "<folder>\path.bat"           quernel-cmd [/u] /d /v:off /c <folder>/path.bat
//                                 (/u when the listing is asked for in Unicode)
//   notepad.exe "<file>"          xdg-open <file>  (the desktop's text editor)
//   explorer.exe "<file>"         xdg-open <file>
//   anything else                 the program itself, with its arguments
namespace quernel::qt {

struct LaunchPlan {
  QString program;
  QStringList arguments;
  friend bool operator==(const LaunchPlan&, const LaunchPlan&) = default;
};

struct LauncherPrograms {
  QString interpreter;  // runs batch files as cmd does
  QString opener = QStringLiteral("xdg-open");
};

// What a request's command line runs here. Paths are the host's (slashes,
// and the file a viewer opens found regardless of case).
LaunchPlan PlanLaunch(const LaunchRequest& request, const LauncherPrograms& programs);

// quernel-cmd beside the executable, else $QUERNEL_CMD, else on PATH.
QString FindInterpreter();

// A started program, attached so that it can be waited for. When the handle
// is destroyed while the program runs, the program runs on untracked.
class QtProcess final : public Process {
 public:
  explicit QtProcess(std::unique_ptr<QProcess> process);
  ~QtProcess() override;
  QProcess& Get() { return *process_; }
  // Ends the running program and every program it started, at once.
  void Stop();
  // How the ended program ended; its error stream, when the launch kept it,
  // decoded from the locale's character set, in which quernel-cmd writes.
  ProcessEnd End();

 private:
  std::unique_ptr<QProcess> process_;
};

class QtLauncher {
 public:
  explicit QtLauncher(LauncherPrograms programs) : programs_(std::move(programs)) {}
  Launch Start(const LaunchRequest& request);

  // A test's stand-in: returns a Launch for plans it takes, nullopt to let
  // the plan run.
  std::function<std::optional<Launch>(const LaunchPlan&)> intercept;

 private:
  LauncherPrograms programs_;
};

}  // namespace quernel::qt
