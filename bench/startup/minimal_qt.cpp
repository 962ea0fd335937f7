// The smallest Qt program with a window: prints the milliseconds from the
// process's start to the window's first paint, measured as quernel measures
// its own with QUERNEL_STARTUP_TIME=1, then quits.
//   quernel_minimal_qt           an empty window: no text, so no font is
//                                ever loaded before the first paint
//   quernel_minimal_qt --label   one line of Chinese text in quernel's font:
//                                the least that any window with Chinese
//                                text pays (fontconfig, the font, glyphs)
#include <time.h>
#include <unistd.h>

#include <QtCore/QTimer>
#include <QtGui/QPaintEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QWidget>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// As quernel: field 22 of /proc/self/stat is the start in clock ticks since boot.
double MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 1));
  std::string field;
  for (int i = 3; i < 22; ++i) fields >> field;
  unsigned long long startTicks = 0;
  fields >> startTicks;
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
  return nowMs - static_cast<double>(startTicks) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class Window : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    if (painted_) return;
    painted_ = true;
    std::printf("first paint after %.0f ms\n", MillisecondsSinceProcessStart());
    std::fflush(stdout);
    QTimer::singleShot(0, qApp, &QApplication::quit);
  }

 private:
  bool painted_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  Window window;
  window.resize(400, 300);
  if (argc > 1 && std::string(argv[1]) == "--label") {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
    auto* label = new QLabel(QStringLiteral("\u6587\u4EF6\u5217\u8868"), &window);  // 文件列表
    label->move(20, 20);
  }
  window.show();
  return application.exec();
}
