#include "platform/qt/qt_application.h"

#include <QtCore/QLibraryInfo>
#include <QtCore/QTranslator>
#include <QtGui/QFontDatabase>
#include <QtGui/QIcon>
#include <QtWidgets/QApplication>

#include "design/product.h"
#include "platform/qt/qt_text.h"

namespace quernel::qt {
namespace {

// The program speaks Simplified Chinese whatever the user's language, and so
// do the buttons of Qt's dialogs.
void TranslateQtDialogs(QApplication& application) {
  auto* translator = new QTranslator(&application);
  if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
}

// The first of these families that is there; asked by name, so that the
// start does not wait for the whole font database to be read.
void UseChineseFont() {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
  font.setPointSizeF(9.0);
  QApplication::setFont(font);
}

}  // namespace

void PrepareApplication(QApplication& application) {
  QApplication::setApplicationName(ToQString(Text(product::kName)));
  QApplication::setApplicationVersion(ToQString(Text(product::kVersion)));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/quernel/quernel.ico")));
  TranslateQtDialogs(application);
  UseChineseFont();
}

}  // namespace quernel::qt
