// The Qt tests' main: one application for all, off any display unless the
// environment names a platform, and the quernel-cmd built beside for batch files.

#include <gtest/gtest.h>

#include "platform/qt/qt_application.h"
#include "qt_test_support.h"

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("QUERNEL_CMD")) qputenv("QUERNEL_CMD", QUERNEL_CMD_PATH);
  QApplication application(argc, argv);
  quernel::qt::PrepareApplication(application);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
