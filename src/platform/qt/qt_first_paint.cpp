#include "platform/qt/qt_first_paint.h"

#include <time.h>
#include <unistd.h>

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace quernel::qt {

FirstPaintWatcher::FirstPaintWatcher(QString screenshotPath, bool printStartupTime)
    : screenshotPath_(std::move(screenshotPath)), printStartupTime_(printStartupTime) {
  if (!screenshotPath_.isEmpty() || printStartupTime_) qApp->installEventFilter(this);
}

bool FirstPaintWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (painted_ || event->type() != QEvent::Paint || watched->objectName() != u"frmMain") return false;
  painted_ = true;
  if (printStartupTime_) {
    if (const auto elapsed = MillisecondsSinceProcessStart())
      std::printf("first paint after %.0f ms\n", *elapsed);
    else
      std::printf("first paint: start-up time unknown (/proc/self/stat cannot be read)\n");
  }
  if (!screenshotPath_.isEmpty()) {
    auto* form = static_cast<QWidget*>(watched);
    QTimer::singleShot(200, form, [this, form] { SaveScreenshotAndClose(form); });
  }
  return false;
}

void FirstPaintWatcher::SaveScreenshotAndClose(QWidget* form) {
  const bool saved = form->grab().save(screenshotPath_, "PNG");
  std::printf("%s %s\n", saved ? "screenshot saved:" : "screenshot NOT saved:", qPrintable(screenshotPath_));
  std::fflush(stdout);
  form->close();
}

std::optional<unsigned long long> StartTicksOf(const std::string& statLine) {
  // Field 22 is the start time in clock ticks since boot; the command name
  // in field 2 may hold spaces, so fields are counted after its ")".
  const auto close = statLine.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(statLine.substr(close + 1));
  std::string field;
  for (int i = 3; i < 22; ++i)
    if (!(fields >> field)) return std::nullopt;
  unsigned long long startTicks = 0;
  if (!(fields >> startTicks)) return std::nullopt;
  return startTicks;
}

std::optional<double> MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  const auto startTicks = StartTicksOf(line);
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (!startTicks || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return std::nullopt;
  const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
  return nowMs - static_cast<double>(*startTicks) * 1000.0 / static_cast<double>(ticksPerSecond);
}

}  // namespace quernel::qt
