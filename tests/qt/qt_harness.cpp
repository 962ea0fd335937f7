// The platform contract suite against the Qt back-end with the POSIX services.

#include <sys/stat.h>
#include <unistd.h>

#include <QtWidgets/QtWidgets>

#include "contract/contract_harness.h"
#include "platform/posix/posix_code_page.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_window_runtime.h"
#include "support/test_support.h"

namespace quernel::contract {
namespace {

class QtHarness final : public ContractHarness {
 public:
  WindowRuntime& Window() override { return window_; }
  FileSystem& Files() override { return files_; }
  CodePage& Codes() override { return codePage_; }
  Text ScratchFolder() override { return scratch_.Name(); }
  std::string ReadBytes(const Text& path) override { return testing::ReadBytes(posix::HostPath(path)); }
  bool MakeReadOnly(const Text& path) override { return chmod(posix::HostPath(path).c_str(), 0444) == 0; }
  bool MakeLink(const Text& link, const Text& target, bool hard) override {
    const auto make = hard ? ::link : ::symlink;
    return make(posix::HostPath(target).c_str(), posix::HostPath(link).c_str()) == 0;
  }
  // An edit of the list's text as keys make it (a key event here would make
  // an input device that outlives the application).
  void TypeAsUser(ControlId list, const Text& text) override {
    QLineEdit* field = window_.Form()->findChild<QComboBox*>(QString::fromUtf8(NameOf(list)))->lineEdit();
    field->selectAll();
    field->insert(QString::fromStdString(text));
  }
  void MakeInterpreterMissing() override {
    window_.Launcher().programs.interpreter = QString::fromStdString(scratch_.Name() + "/no-quernel-cmd");
  }
  // The window is shown for the user, who presses once the run is waited for.
  void PressCloseBoxDuringNextRun() override {
    window_.ShowForm();
    pressCloseBox_ = true;
  }
  bool FormIsOpen() override { return window_.Form() && window_.Form()->isVisible(); }
  void WhileRunWaited(QWidget& form) {
    if (std::exchange(pressCloseBox_, false)) form.close();
  }

  testing::TempFolder scratch_;
  bool pressCloseBox_ = false;
  qt::QtWindowRuntime window_{qt::QtRuntimeSettings{scratch_.Name(), qt::ExecDialog,
                                                    [this](QWidget& form) { WhileRunWaited(form); }}};
  posix::PosixFileSystem files_;
  posix::PosixCodePage codePage_;
};

}  // namespace

// The application is made on first use, off any display; quernel-cmd is the one built.
std::unique_ptr<ContractHarness> MakeContractHarness() {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("QUERNEL_CMD")) qputenv("QUERNEL_CMD", QUERNEL_CMD_PATH);
  static int argc = 1;
  static char name[] = "quernel_contract_qt", *argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  return std::make_unique<QtHarness>();
}

}  // namespace quernel::contract
