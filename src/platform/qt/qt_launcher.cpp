#include "platform/qt/qt_launcher.h"

#include <signal.h>
#include <unistd.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QStandardPaths>
#include <QtCore/QTimer>

#include "platform/posix/locale_charset.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

// The first word of a command line, in double quotes or up to a space, and
// the rest.
std::pair<Text, Text> SplitProgram(const Text& commandLine) {
  if (commandLine.starts_with('"')) {
    const auto close = commandLine.find('"', 1);
    if (close == Text::npos) return {commandLine.substr(1), {}};
    return {commandLine.substr(1, close - 1), commandLine.substr(close + 1)};
  }
  const auto space = commandLine.find(' ');
  if (space == Text::npos) return {commandLine, {}};
  return {commandLine.substr(0, space), commandLine.substr(space + 1)};
}

QString HostPath(const Text& path) {
  return ToQString(posix::HostPath(path));
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
// change it.
std::optional<Text> OpenerRefusal(QProcess& opener) {
  constexpr int kMoment = 3000, kOpening = 1000;  // ms
  PaintUntilEnded(&opener, kMoment);
  if (opener.state() != QProcess::NotRunning) return std::nullopt;
  if (opener.exitStatus() == QProcess::NormalExit && opener.exitCode() == 0) {
    PaintUntilEnded(nullptr, kOpening);
    return std::nullopt;
  }
  return ToText(QStringLiteral("%1: exit code %2").arg(opener.program()).arg(opener.exitCode()));
}

// quernel-cmd writes its words in the locale's character set, which Qt 6
// does not follow on Linux (its "local 8-bit" is always UTF-8).
Text FromLocaleCharset(const QByteArray& bytes) {
  const std::string charset = posix::LocaleHandle("").Charset();
  if (auto text = posix::ConvertCharset(bytes.toStdString(), charset, "UTF-8")) return *text;
  return ToText(QString::fromUtf8(bytes));
}

}  // namespace

LaunchPlan PlanLaunch(const LaunchRequest& request, const LauncherPrograms& programs) {
  const auto [program, rest] = SplitProgram(request.commandLine);
  const QString name = ToQString(program).toLower();
  const QStringList arguments = QProcess::splitCommand(ToQString(rest));
  const QString firstArgument = arguments.value(0);
  if (name.endsWith(u".bat") || name.endsWith(u".cmd")) {
    QStringList interpreterArguments{QStringLiteral("/d"), QStringLiteral("/v:off"), QStringLiteral("/c"),
                                     HostPath(program)};
    if (!request.unicodeListing.empty()) interpreterArguments.prepend(QStringLiteral("/u"));
    return {programs.interpreter, interpreterArguments};
  }
  if (name == u"notepad.exe" || name == u"explorer.exe")
    return {programs.opener, {HostPath(ToText(firstArgument))}};
  return {HostPath(program), arguments};
}

QString FindInterpreter() {
  const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/quernel-cmd");
  if (QFileInfo(beside).isExecutable()) return beside;
  const QString fromEnvironment = qEnvironmentVariable("QUERNEL_CMD");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  const QString onPath = QStandardPaths::findExecutable(QStringLiteral("quernel-cmd"));
  return onPath.isEmpty() ? QStringLiteral("quernel-cmd") : onPath;
}

QtProcess::QtProcess(std::unique_ptr<QProcess> process) : process_(std::move(process)) {}

// QProcess kills its program when it is destroyed: one still running is let
// go and deleted once it ends.
QtProcess::~QtProcess() {
  if (process_->state() == QProcess::NotRunning) return;
  QProcess* running = process_.release();
  QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
}

// The program leads a process group of its own (see Start): the group goes.
void QtProcess::Stop() {
  constexpr int kEnding = 5000;  // ms
  if (process_->state() == QProcess::NotRunning) return;
  ::kill(-static_cast<pid_t>(process_->processId()), SIGKILL);
  process_->waitForFinished(kEnding);
}

ProcessEnd QtProcess::End() {
  ProcessEnd end;
  // A program killed by a signal has no exit code of its own.
  end.exitCode = process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1;
  if (process_->processChannelMode() == QProcess::SeparateChannels)
    end.errorOutput = FromLocaleCharset(process_->readAllStandardError());
  return end;
}

Launch QtLauncher::Start(const LaunchRequest& request) {
  const LaunchPlan plan = PlanLaunch(request, programs_);
  if (intercept)
    if (auto launch = intercept(plan)) return std::move(*launch);

  auto process = std::make_unique<QProcess>();
  QObject::connect(process.get(), &QProcess::finished,
                   [listing = request.unicodeListing] { posix::SettleListingName(listing); });
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const Text& name : request.unsetEnvironment) environment.remove(ToQString(name));
  for (const auto& [name, value] : request.setEnvironment)
    environment.insert(ToQString(name), ToQString(value));
  process->setProcessEnvironment(environment);
  process->setWorkingDirectory(QStringLiteral("/"));
  // Nobody reads the program's output: a full pipe would stop it. Its error
  // stream, when kept, is read while the program is waited for.
  if (request.keepErrorOutput) {
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardOutputFile(QProcess::nullDevice());
  } else {
    process->setProcessChannelMode(QProcess::ForwardedChannels);
  }
  process->setStandardInputFile(QProcess::nullDevice());
  // Its own process group, so that a stop ends all it started.
  process->setChildProcessModifier([] { setpgid(0, 0); });
  process->start(plan.program, plan.arguments);
  if (!process->waitForStarted()) return {nullptr, ToText(process->errorString())};
  if (plan.program == programs_.opener)
    if (auto refusal = OpenerRefusal(*process)) return {nullptr, *refusal};
  return {std::make_unique<QtProcess>(std::move(process)), {}};
}

}  // namespace quernel::qt
