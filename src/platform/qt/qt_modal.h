#pragma once

#include <QtWidgets/QDialog>
#include <functional>

// How modal dialogs are run: exec() for the user; a test puts its own runner
// in to read and answer the box without blocking.
namespace quernel::qt {

using DialogRunner = std::function<int(QDialog&)>;

inline int ExecDialog(QDialog& dialog) {
  return dialog.exec();
}

}  // namespace quernel::qt
