#include "platform/qt/qt_launcher.h"

#include <signal.h>
#include <unistd.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QStandardPaths>
#include <QtCore/QTimer>
#include <memory>
#include <optional>

#include "platform/posix/locale_charset.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

QString HostPath(const Text& path) {
  return ToQString(posix::HostPath(path));
}

// Every program starts in "/" (never the folder the user started Quernel
// in) with nothing to read, and leads a process group of its own, so that a
// stop ends all it started.
void Start(QProcess& process, const QString& program, const QStringList& arguments) {
  process.setWorkingDirectory(QStringLiteral("/"));
  process.setStandardInputFile(QProcess::nullDevice());
  process.setChildProcessModifier([] { setpgid(0, 0); });
  process.start(program, arguments);
}

void StopGroup(QProcess& process) {
  constexpr int kEnding = 5000;  // ms
  if (process.state() == QProcess::NotRunning) return;
  ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
  process.waitForFinished(kEnding);
}

// quernel-cmd writes its words in the locale's character set, which Qt 6
// does not follow on Linux (its "local 8-bit" is always UTF-8).
Text FromLocaleCharset(const QByteArray& bytes) {
  const std::string charset = posix::LocaleHandle("").Charset();
  if (auto text = posix::ConvertCharset(bytes.toStdString(), charset, "UTF-8")) return *text;
  return ToText(QString::fromUtf8(bytes));
}

RunEnd EndOf(QProcess& interpreter) {
  RunEnd end;
  // A program killed by a signal has no exit code of its own.
  end.exitCode = interpreter.exitStatus() == QProcess::NormalExit ? interpreter.exitCode() : -1;
  end.errorOutput = FromLocaleCharset(interpreter.readAllStandardError());
  return end;
}

// Paints, taking no input, until the program ends or the time has passed.
void PaintUntilEnded(QProcess* program, int milliseconds) {
  if (program && program->state() == QProcess::NotRunning) return;
  QEventLoop loop;
  if (program) QObject::connect(program, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// xdg-open hands the file to the desktop's application and ends; it fails
// at once, with an exit code, when no application can open the file. Give it
// a moment, painting meanwhile, to tell the two apart. The application it
// started is given another moment to open the file before the program may
// change it (the listing's lock is held until then).
Result<void> OpenerAnswer(QProcess& opener) {
  constexpr int kMoment = 3000, kOpening = 1000;  // ms
  PaintUntilEnded(&opener, kMoment);
  if (opener.state() != QProcess::NotRunning) return {};
  if (opener.exitStatus() == QProcess::NormalExit && opener.exitCode() == 0) {
    PaintUntilEnded(nullptr, kOpening);
    return {};
  }
  return Fail(ToText(QStringLiteral("%1: exit code %2").arg(opener.program()).arg(opener.exitCode())));
}

}  // namespace

QString FindInterpreter() {
  const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/quernel-cmd");
  if (QFileInfo(beside).isExecutable()) return beside;
  const QString fromEnvironment = qEnvironmentVariable("QUERNEL_CMD");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  const QString onPath = QStandardPaths::findExecutable(QStringLiteral("quernel-cmd"));
  return onPath.isEmpty() ? QStringLiteral("quernel-cmd") : onPath;
}

Result<RunEnd> QtLauncher::RunListing(const ListingRun& run, const std::function<bool(QProcess&)>& wait) {
  QProcess interpreter;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const Text& name : run.unsetEnvironment) environment.remove(ToQString(name));
  for (const auto& [name, value] : run.environment) environment.insert(ToQString(name), ToQString(value));
  interpreter.setProcessEnvironment(environment);
  // Nobody reads its output: a full pipe would stop it. Its error stream is
  // read while it is waited for.
  interpreter.setProcessChannelMode(QProcess::SeparateChannels);
  interpreter.setStandardOutputFile(QProcess::nullDevice());
  const QStringList switches{QStringLiteral("/u"), QStringLiteral("/d"), QStringLiteral("/v:off"),
                             QStringLiteral("/c")};
  Start(interpreter, programs.interpreter, switches + QStringList{HostPath(run.batchFile)});
  if (!interpreter.waitForStarted()) return Fail(ToText(interpreter.errorString()));
  const bool stopped = wait(interpreter);
  if (stopped) StopGroup(interpreter);
  posix::SettleListingName(run.listing);
  if (stopped) return RunEnd{.stopped = true};
  return EndOf(interpreter);
}

Result<void> QtLauncher::Open(const Text& file) {
  auto opener = std::make_unique<QProcess>();
  opener->setProcessChannelMode(QProcess::ForwardedChannels);
  Start(*opener, programs.opener, {HostPath(file)});
  if (!opener->waitForStarted()) return Fail(ToText(opener->errorString()));
  if (auto answer = OpenerAnswer(*opener); !answer) return answer;
  // QProcess kills its program when it is destroyed: an opener still running
  // (one that waits for the application) is let go and deleted once it ends.
  if (opener->state() != QProcess::NotRunning) {
    QProcess* running = opener.release();
    QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
  }
  return {};
}

}  // namespace quernel::qt
