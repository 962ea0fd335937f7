// Build-time tool: the program's Windows icon as the PNGs that Linux
// desktops look up by name, one per size of the hicolor theme
// (usage: quernel_icon_to_png <in.ico> <out-folder> <size>...; writes
// <out-folder>/<size>x<size>/apps/quernel.png, the hicolor layout).
//
// The icon is 32x32 pixel art: whole multiples keep its pixels sharp, other
// sizes are smoothed.

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtGui/QImage>
#include <cstdio>

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);  // for the image format plugins
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <in.ico> <out-folder> <size>...\n", argv[0]);
    return 2;
  }
  const QImage icon(QString::fromLocal8Bit(argv[1]));
  if (icon.isNull()) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLatin1(argv[i]).toInt();
    const bool sharp = size % icon.width() == 0;
    const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio,
                                      sharp ? Qt::FastTransformation : Qt::SmoothTransformation);
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    const QString file = folder + QStringLiteral("/quernel.png");
    if (size <= 0 || !QDir().mkpath(folder) || !scaled.save(file, "PNG")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
      return 1;
    }
  }
  return 0;
}
