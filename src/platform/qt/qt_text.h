#pragma once

#include <QtCore/QString>

#include "design/text.h"

// Conversion at the Qt edge: the program's UTF-8 texts and QString.
namespace quernel::qt {

inline QString ToQString(const Text& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline Text ToText(const QString& text) {
  return text.toUtf8().toStdString();
}

// A message as shown: each "\r" (the program's line break, as on Windows)
// starts a new line.
inline QString ShownWithLineBreaks(const Text& text) {
  return ToQString(text).replace(u'\r', u'\n');
}

}  // namespace quernel::qt
