#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/test_support.h"

namespace quernel::posix {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  // A path as the program forms it: a backslash after the folder's name.
  Text Windows(std::string relative) const {
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return root_.string() + '\\' + relative;
  }
  void Touch(const std::string& relative, const std::string& bytes = "x") const {
    temp_.Write(relative, bytes);
  }
  std::string Read(const std::string& relative) const { return temp_.Read(relative); }

  testing::TempFolder temp_;
  const fs::path& root_ = temp_.Path();
  PosixFileSystem files_;
};

TEST_F(PosixFileSystemTest, FindsFilesTheWayWindowsNamesThem) {
  Touch("Program/Path.txt");
  Touch("Program/sub/help.htm");
  Touch("Program/AZ.txt");  // the first and the last letter
  struct Case {
    std::string asked;
    bool found;
  };
  const Case cases[] = {
      {"Program\\Path.txt", true},     {"Program\\path.txt", true},  {"program\\PATH.TXT", true},
      {"Program/sub\\HELP.htm", true}, {"Program\\path.bat", false}, {"Program\\sub", false},
      {"Program\\Path.txt\\", false},  {"Other\\Path.txt", false},   {"program\\az.TXT", true},
  };
  for (const auto& c : cases) EXPECT_EQ(files_.FileExists(Windows(c.asked)), c.found) << c.asked;
}

TEST_F(PosixFileSystemTest, HostPathKeepsExactNamesAndFixesOnlyMissingOnes) {
  Touch("a/Path.txt");
  Touch("a/path.TXT");  // two spellings: the exact one wins
  struct Case {
    std::string asked, host;
  };
  const Case cases[] = {
      {"a\\Path.txt", "a/Path.txt"},
      {"a\\path.TXT", "a/path.TXT"},
      {"A\\new.bat", "a/new.bat"},
      {"a\\..\\a\\Path.txt", "a/../a/Path.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(HostPath(Windows(c.asked)), (root_ / c.host).string()) << c.asked;
}

TEST_F(PosixFileSystemTest, WritesExactBytesAndReplacesTheFileOfAnyCase) {
  const std::string bytes("dir \"\xd2\xf4\xc0\xd6\\*.*\"\r\nexit\r\n\0end", 27);
  ASSERT_TRUE(files_.WriteNewFile(Windows("path.bat"), bytes).ok);
  EXPECT_EQ(Read("path.bat"), bytes);

  ASSERT_TRUE(files_.WriteNewFile(Windows("PATH.BAT"), "short").ok);
  EXPECT_EQ(Read("path.bat"), "short");
  EXPECT_FALSE(fs::exists(root_ / "PATH.BAT"));
}

// A link, a FIFO (with or without a reader) or a folder named path.bat is
// left alone at once: never followed, never waited on.
TEST_F(PosixFileSystemTest, WritesNothingThroughALinkAPipeOrAFolder) {
  Touch("target.txt", "keep");
  fs::create_symlink(root_ / "target.txt", root_ / "link.bat");
  fs::create_symlink(root_ / "nowhere.txt", root_ / "dangling.bat");
  ASSERT_EQ(mkfifo((root_ / "fifo.bat").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((root_ / "read.bat").c_str(), 0600), 0);
  const int reader = open((root_ / "read.bat").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  fs::create_directories(root_ / "folder.bat");
  for (const char* name : {"link.bat", "dangling.bat", "fifo.bat", "read.bat", "folder.bat"}) {
    const FileResult written = files_.WriteNewFile(Windows(name), "dir\r\nexit\r\n");
    EXPECT_FALSE(written.ok) << name;
    EXPECT_EQ(written.failure, FileFailure::NotARegularFile) << name;
  }
  close(reader);
  EXPECT_EQ(Read("target.txt"), "keep");
  EXPECT_FALSE(fs::exists(root_ / "nowhere.txt"));
}

TEST_F(PosixFileSystemTest, TellsWhereFilesCanBeCreated) {
  Touch("file");
  fs::create_directories(root_ / "open");
  fs::create_directories(root_ / "closed");
  fs::permissions(root_ / "closed", fs::perms::owner_read | fs::perms::owner_exec);
  const bool root = geteuid() == 0;  // root writes into a folder of any mode

  EXPECT_TRUE(files_.CanCreateFilesIn(Windows("open")));
  EXPECT_TRUE(files_.CanCreateFilesIn(Windows("OPEN")));
  EXPECT_EQ(files_.CanCreateFilesIn(Windows("closed")), root);
  EXPECT_FALSE(files_.CanCreateFilesIn(Windows("file")));
  EXPECT_FALSE(files_.CanCreateFilesIn(Windows("missing")));
  EXPECT_TRUE(fs::is_empty(root_ / "open")) << "the probe file was left behind";
}

TEST_F(PosixFileSystemTest, ReadOnlyMountRefusesEvenRoot) {
  if (!fs::is_directory("/proc/self")) GTEST_SKIP() << "no /proc";
  EXPECT_FALSE(files_.CanCreateFilesIn("/proc\\self"));
}

}  // namespace
}  // namespace quernel::posix
