#pragma once

class QApplication;

// What the application needs before the window is built: Qt's own dialogs in
// Simplified Chinese and a user-interface font with 12-pixel Chinese
// characters at 9 points.
namespace quernel::qt {

void PrepareApplication(QApplication& application);

}  // namespace quernel::qt
