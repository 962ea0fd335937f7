// The POSIX services: files named the Windows way, and the locale's code page.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/locale_charset.h"
#include "platform/posix/posix_code_page.h"
#include "platform/posix/posix_file_system.h"
#include "support/test_support.h"

namespace quernel::posix {
namespace {

namespace fs = std::filesystem;

class PosixFiles : public ::testing::Test {
 protected:
  // A path as the program forms it: backslashes after the folder's name.
  Text At(const char* relative) const { return temp_.Name() + '\\' + relative; }

  testing::TempFolder temp_;
  const fs::path& root_ = temp_.Path();
  PosixFileSystem files_;
};

// After a run the listing that the batch file named "Path.txt" takes the name asked for.
TEST_F(PosixFiles, LooksNamesUpAsSpelledAndSettlesTheListingsName) {
  temp_.Write("P/Path.txt", "listing");
  EXPECT_TRUE(files_.FileExists(At("P\\Path.txt")));
  for (const char* asked : {"p\\Path.txt", "P\\path.txt", "P\\Path.txt\\"})
    EXPECT_FALSE(files_.FileExists(At(asked))) << asked;
  SettleListingName(At("P\\path.txt"));
  EXPECT_EQ(temp_.Read("P/path.txt"), "listing");
  EXPECT_FALSE(fs::exists(root_ / "P/Path.txt"));
  temp_.Write("P/PATH.TXT", "older");
  SettleListingName(At("P\\path.txt"));
  EXPECT_EQ(temp_.Read("P/path.txt"), "listing") << "a name there as spelled stays";
}

// A dangling link or a FIFO (read or not) is replaced by its name only, never followed or waited on;
// the contract suite pins the bytes, the links to a file and the folder.
TEST_F(PosixFiles, WritesANewFileInPlaceOfTheName) {
  fs::create_symlink(root_ / "nowhere.txt", root_ / "dangling.bat");
  ASSERT_EQ(mkfifo((root_ / "fifo.bat").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((root_ / "read.bat").c_str(), 0600), 0);
  const int reader = open((root_ / "read.bat").c_str(), O_RDONLY | O_NONBLOCK);
  for (const char* name : {"dangling.bat", "fifo.bat", "read.bat"}) {
    EXPECT_TRUE(files_.WriteNewFile(At(name), "dir")) << name;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root_ / name))) << name;
    EXPECT_EQ(temp_.Read(name), "dir") << name;
  }
  close(reader);
  EXPECT_FALSE(fs::exists(root_ / "nowhere.txt"));
}

// Root writes into a folder of any mode, but not into a read-only mount.
TEST_F(PosixFiles, TellsWhereFilesCanBeCreated) {
  temp_.Write("file", "x");
  fs::create_directories(root_ / "open");
  fs::create_directories(root_ / "closed");
  fs::permissions(root_ / "closed", fs::perms::owner_read | fs::perms::owner_exec);
  const std::pair<const char*, bool> cases[] = {{"open", true}, {"closed", geteuid() == 0}, {"file", false}};
  for (auto [folder, can] : cases) EXPECT_EQ(files_.CanCreateFilesIn(At(folder)), can) << folder;
  EXPECT_TRUE(fs::is_empty(root_ / "open")) << "the probe file was left behind";
  EXPECT_FALSE(files_.CanCreateFilesIn("/proc\\self"));
}

TEST(PosixCodePage, EncodesInTheLocalesCharsetOrRefuses) {
  const auto gbk = PosixCodePage::ForLocale("zh_CN.GBK");
  const auto utf8 = PosixCodePage::ForLocale("zh_CN.UTF-8");
  if (!gbk || !utf8)
    GTEST_SKIP() << "the zh_CN locales are not generated (scripts/install-deps.sh makes them)";
  EXPECT_EQ(gbk->Name(), "GBK");
  EXPECT_EQ(utf8->Name(), "UTF-8");
  EXPECT_EQ(gbk->Encode("C:\\音乐\\*.mp3"), "C:\\\xd2\xf4\xc0\xd6\\*.mp3");
  EXPECT_EQ(gbk->Encode(""), "");
  // Only bytes that read back as the text are the text: iconv would drop the tag.
  for (const char* lacking : {"音乐😀", "a\U000E0007b", "\xff"}) EXPECT_EQ(gbk->Encode(lacking), std::nullopt);
  EXPECT_EQ(utf8->Encode("한국 😀 é"), "한국 😀 é");
  EXPECT_EQ(PosixCodePage::ForLocale("xx_NOWHERE.none"), nullptr);
  EXPECT_TRUE(ConvertCharset(SystemReason(ENOENT), "UTF-8", "UTF-16LE").value_or("").size() > 0);
}

}  // namespace
}  // namespace quernel::posix
