#pragma once

#include <QtCore/QObject>
#include <QtCore/QString>
#include <optional>
#include <string>

// The window's first paint, for the program's own checks: the start-up time
// and a screenshot taken without a display. Watches the application from
// outside, so neither the core nor the runtime knows of it.
namespace quernel::qt {

class FirstPaintWatcher final : public QObject {
 public:
  FirstPaintWatcher(QString screenshotPath, bool printStartupTime);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SaveScreenshotAndClose(QWidget* form);

  QString screenshotPath_;
  bool printStartupTime_;
  bool painted_ = false;
};

// Milliseconds since the process started, from /proc (10 ms steps); none
// when /proc cannot be read.
std::optional<double> MillisecondsSinceProcessStart();
// The process's start time in clock ticks since boot, from the text of
// /proc/<pid>/stat; none when the text is not such a line.
std::optional<unsigned long long> StartTicksOf(const std::string& statLine);

}  // namespace quernel::qt
