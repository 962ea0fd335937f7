// The whole program against hostile folders and a full disk, as a user
// without privileges meets them (root passes every permission check and would
// hide these faults): run_as_unprivileged.sh starts this program as such a
// user, and a case that cannot be arranged is skipped, saying why.

#include <gtest/gtest.h>
#include <unistd.h>

#include "design/program_texts.h"
#include "platform/posix/posix_code_page.h"
#include "qt_test_support.h"

namespace quernel::testing {
namespace {

namespace fs = std::filesystem;

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache_.Name()));
    data_.Write("files/a.txt", "a");
    fs::create_directories(program_);
  }
  // The user types the folder and presses 输出.
  void Output(const char* folder = "files") {
    run_.Run(program_.string(), *posix::PosixCodePage::ForLocale(""), [&](QWidget* form) {
      TypeInto(Find(form, "txtPath"), ToQString((data_.Path() / folder).string()));
      Click(Find(form, "cmdOut"));
    });
  }
  // One error box, with the message whatever fills its places.
  void ExpectRefused(std::string_view message) {
    ASSERT_EQ(run_.boxes.boxes.size(), 1u);
    for (const QString& part : ShownWithLineBreaks(Text(message)).split(QRegularExpression("\\{\\d\\}")))
      EXPECT_TRUE(run_.boxes.boxes[0].text.contains(part)) << run_.boxes.boxes[0].text.toStdString();
    EXPECT_EQ(run_.boxes.boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(run_.opened.empty());
  }

  TempFolder root_, data_, cache_;
  fs::path program_ = root_.Path() / "program";
  WholeProgram run_;
};

TEST_F(Faults, AReadOnlyProgramFolderSendsTheWorkToTheUsersFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder: run as a user";
  fs::permissions(program_, fs::perms::owner_read | fs::perms::owner_exec);
  Output();
  EXPECT_EQ(run_.boxes.boxes.at(0).icon, QMessageBox::Information);
  EXPECT_EQ(run_.opened, std::vector<QStringList>{{ToQString(cache_.Name() + "/quernel/Path.txt")}});
}

TEST_F(Faults, AFolderThatCannotBeReadIsNoListing) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads a folder of any mode: run as a user";
  fs::permissions(data_.Path() / "files", fs::perms::none);
  Output();
  ExpectRefused(texts::kListingNotCompleted);
}

TEST_F(Faults, AListingThatDoesNotFitOnTheDiskIsNoListing) {
  const char* tiny = std::getenv("QUERNEL_TINY_DISK");
  if (!tiny || !*tiny) GTEST_SKIP() << "no 64 KB file system was mounted (mounting needs root)";
  program_ = fs::path(tiny) / ("program-" + std::to_string(getpid()));
  fs::create_directories(program_);
  for (int i = 10000; i < 13000; ++i)  // 120,000 bytes of listing
    data_.Write("many/file-" + std::to_string(i) + "-xxxxxxxxxxxxxxxxxxxxxxxxx.txt", "");
  Output("many");
  ExpectRefused(texts::kListingNotCompleted);
  fs::remove_all(program_);
}

}  // namespace
}  // namespace quernel::testing
