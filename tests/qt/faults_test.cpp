// The whole program on Linux against hostile disks and files, as a user
// without privileges meets them: root passes every permission check and
// would hide these faults. run_as_unprivileged.sh starts this program as
// such a user; where a case needs what it could not arrange, the case is
// skipped and says why. Each case ends in its message, shows nothing stale
// and does not hang.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "core/frm_main.h"
#include "platform/posix/posix_code_page.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_shell_dialogs.h"
#include "platform/qt/qt_window_runtime.h"
#include "qt_test_support.h"

namespace quernel::testing {
namespace {

namespace fs = std::filesystem;

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache_.Name()));
    data_.Write("files/a.txt", "a");
    data_.Write("files/b.txt", "b");
  }
  void TearDown() override {
    qputenv("QUERNEL_CMD", QUERNEL_CMD_PATH);
    for (const fs::path& folder : {data_.Path() / "files", program_})
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored_);
  }

  static bool Privileged() { return geteuid() == 0; }
  // A file of the program folder as the program names it.
  Text ProgramFile(const char* name) const { return program_.string() + "\\" + name; }

  // The user types the folder and presses 输出; the program's boxes are
  // answered at once and the viewer is recorded, not started.
  void Output(const Text& folder) {
    QtWindowRuntime window{QtRuntimeSettings{program_.string(), boxes_.Runner()}};
    RecordViewer(window, opened_);
    posix::PosixFileSystem files;
    QtShellDialogs shell{boxes_.Runner()};
    auto codePage = posix::PosixCodePage::ForLocale("");
    ASSERT_TRUE(codePage);
    frmMain form({window, files, shell, *codePage});
    ASSERT_FALSE(window.CreateForm(form));
    form.Load();
    window.SetText(ControlId::txtPath, folder);
    form.Click(ControlId::cmdOut);  // a hang here ends in the test's time limit
  }
  // The one box shown, as one line.
  QString OnlyBox() const {
    EXPECT_EQ(boxes_.boxes.size(), 1u);
    return boxes_.boxes.empty() ? QString() : boxes_.boxes[0].text.simplified().remove(' ');
  }
  void ExpectRefused(const char* words, const Text& naming) {
    const QString box = OnlyBox();
    EXPECT_TRUE(box.contains(QString::fromUtf8(words))) << box.toStdString();
    EXPECT_TRUE(box.contains(QString::fromStdString(naming).remove(' '))) << box.toStdString() << "\n"
                                                                          << naming;
    EXPECT_EQ(boxes_.boxes.at(0).icon, QMessageBox::Critical);
    EXPECT_TRUE(opened_.empty()) << "a viewer was opened on " << opened_.at(0).join(' ').toStdString();
  }

  TempFolder root_;
  fs::path program_ = root_.Path() / "program";
  TempFolder data_;
  TempFolder cache_;
  BoxRecorder boxes_;
  std::vector<QStringList> opened_;
  std::error_code ignored_;

  void SetUpProgramFolder() { fs::create_directories(program_); }
};

TEST_F(Faults, AReadOnlyProgramFolderSendsTheWorkToTheUsersFolder) {
  if (Privileged()) GTEST_SKIP() << "root writes into a read-only folder: run as a user";
  SetUpProgramFolder();
  fs::permissions(program_, fs::perms::owner_read | fs::perms::owner_exec);
  Output((data_.Path() / "files").string());
  EXPECT_TRUE(OnlyBox().contains(QString::fromUtf8("文件列表已输出到临时文件中"))) << OnlyBox().toStdString();
  EXPECT_EQ(opened_, std::vector<QStringList>{{QString::fromStdString(cache_.Name() + "/quernel/Path.txt")}});
  EXPECT_FALSE(fs::exists(program_ / "path.bat"));
}

TEST_F(Faults, AFolderThatCannotBeReadIsNoListing) {
  if (Privileged()) GTEST_SKIP() << "root reads a folder of any mode: run as a user";
  SetUpProgramFolder();
  fs::permissions(data_.Path() / "files", fs::perms::none);
  Output((data_.Path() / "files").string());
  ExpectRefused("文件列表没有完成", ProgramFile("path.txt"));
}

struct TakenName {
  const char* name;
  const char* file;  // path.txt or path.bat
  std::function<void(const fs::path&)> make;
  const char* words;
};

class NameTaken : public Faults, public ::testing::WithParamInterface<TakenName> {};

TEST_P(NameTaken, StopsTheOutputNamingTheFile) {
  SetUpProgramFolder();
  root_.Write("precious.txt", "keep");
  GetParam().make(program_ / GetParam().file);
  if (fs::is_fifo(program_ / GetParam().file)) {
    // A reader too: open() for writing then succeeds and must still refuse.
    const int reader = open((program_ / GetParam().file).c_str(), O_RDONLY | O_NONBLOCK);
    Output((data_.Path() / "files").string());
    close(reader);
  } else {
    Output((data_.Path() / "files").string());
  }
  ExpectRefused(GetParam().words, ProgramFile(GetParam().file));
  EXPECT_EQ(root_.Read("precious.txt"), "keep");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, NameTaken, ::testing::Values(
    TakenName{"ListingIsAFolder", "path.txt", [](const fs::path& p) { fs::create_directories(p / "x"); },
              "无法删除上次的文件列表"},
    TakenName{"BatchFileIsAFolder", "path.bat", [](const fs::path& p) { fs::create_directories(p); },
              "不是普通文件"},
    TakenName{"BatchFileIsAFifo", "path.bat", [](const fs::path& p) { mkfifo(p.c_str(), 0600); },
              "不是普通文件"},
    TakenName{"BatchFileIsALink", "path.bat", [](const fs::path& p) {
                fs::create_symlink(p.parent_path().parent_path() / "precious.txt", p);
              }, "不是普通文件"}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

TEST_F(Faults, AListingThatDoesNotFitOnTheDiskIsNoListing) {
  const char* tiny = std::getenv("QUERNEL_TINY_DISK");
  if (!tiny || !*tiny) GTEST_SKIP() << "no 64 KB file system was mounted (mounting needs root)";
  program_ = fs::path(tiny) / ("program-" + std::to_string(getpid()));
  SetUpProgramFolder();
  // 3,000 names of 40 bytes with their line ends: 120,000 bytes of listing.
  for (int i = 0; i < 3000; ++i) {
    const std::string number = std::to_string(10000 + i);
    data_.Write("many/file-" + number + "-xxxxxxxxxxxxxxxxxxxxxxxxx.txt", "");
  }
  Output((data_.Path() / "many").string());
  const QString box = OnlyBox();
  EXPECT_TRUE(box.contains(QString::fromUtf8("未打开记事本"))) << box.toStdString();
  EXPECT_EQ(boxes_.boxes.at(0).icon, QMessageBox::Critical);
  EXPECT_TRUE(opened_.empty());
  fs::remove_all(program_, ignored_);
}

TEST_F(Faults, AMissingInterpreterIsReportedAndNothingIsShown) {
  SetUpProgramFolder();
  qputenv("QUERNEL_CMD", QByteArray::fromStdString((root_.Path() / "no-quernel-cmd").string()));
  Output((data_.Path() / "files").string());
  ExpectRefused("无法运行批处理文件", ProgramFile("path.bat"));
}

}  // namespace
}  // namespace quernel::testing
