// Build-time tool: the program's Windows icon as the PNG that Linux desktops
// look up by name (usage: quernel_icon_to_png <in.ico> <out.png>).

#include <QtCore/QCoreApplication>
#include <QtGui/QImage>
#include <cstdio>

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);  // for the image format plugins
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <in.ico> <out.png>\n", argv[0]);
    return 2;
  }
  const QImage icon(QString::fromLocal8Bit(argv[1]));
  if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "%s: cannot turn %s into %s\n", argv[0], argv[1], argv[2]);
    return 1;
  }
  return 0;
}
