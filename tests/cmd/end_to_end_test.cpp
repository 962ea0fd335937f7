// Runs the built quernel-cmd on batch files as Quernel writes them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <clocale>
#include <regex>
#include <tuple>

#include "quernel-cmd/charset.h"
#include "support/test_support.h"

namespace quernel::cmd {
namespace {

namespace fs = std::filesystem;
using quernel::testing::TempFolder;

struct Result {
  int exit_code;
  std::string out;
  std::string err;
};

// Runs quernel-cmd /c `batch` with its output in `temp`, or in `out` when
// given; `prefix` (variables, a runner) goes before the program.
Result Cmd(const TempFolder& temp, const std::string& batch, const std::string& prefix,
           std::string out = "") {
  const std::string folder = temp.Path().string();
  if (out.empty()) out = folder + "/stdout";
  const int status = std::system(("env -u LANGUAGE " + prefix + " '" QUERNEL_CMD_EXECUTABLE "' /c '" + batch +
                                  "' >'" + out + "' 2>'" + folder + "/stderr'")
                                     .c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, temp.Read("stdout"), temp.Read("stderr")};
}

TEST(EndToEnd, RunsBatchFilesLikeCmd) {
  TempFolder temp;
  const std::string folder = temp.Path().string();
  for (const char* name : {"data/b.txt", "data/a.txt", "data/c.log", "out/x"}) temp.Write(name, "");
  temp.Write("q-out/path.txt", "an old listing that is longer than the new one\r\n");
  const std::string too_long(300, 'n');
  for (auto [batch, locale, exit_code, out, err] :
       std::vector<std::tuple<std::string, const char*, int, const char*, const char*>>{
           {"dir \"$/data\\*.txt\"    /o:n /B\r\nexit\r\n", "C", 0, "a.txt\r\nb.txt\r\n", ""},
           {"DIR \"$/data\\*.txt\" /O:-N /b\nEXIT\n", "C", 0, "b.txt\r\na.txt\r\n", ""},
           {"dir \"%quernel_data%\\*.log\" /b\r\nexit\r\n", "C", 0, "c.log\r\n", ""},
           {"\r\n\r\nexit 7\r\ndir /b\r\n", "C", 7, "", ""},
           {"dir \"$/data\\*.mp3\" /b\r\nexit\r\n", "C", 0, "", "File Not Found"},
           {"copy a b\r\nexit\r\n", "C", 1, "", "'copy' is not recognized"},
           {"dir \"$/data\" /s\r\nexit\r\n", "C", 1, "", "Invalid switch - \"s\"."},
           {"dir \"$/data\" >\"$/nowhere\\Path.txt\"\r\nexit\r\n", "C", 1, "", "cannot find the path"},
           {"dir \"$/missing\\*.*\" /b\r\nexit 2\r\n", "zh_CN", 2, "", "找不到文件"},
           // Folders are found ignoring case, in the listed path as in the target,
           // and a file that differs only in case is replaced.
           {"dir \"$/DATA\\*.TXT\" /o:n /b\r\nexit\r\n", "C", 0, "a.txt\r\nb.txt\r\n", ""},
           {"dir \"$\\Data\" /o:n /b\r\nexit\r\n", "C", 0, "a.txt\r\nb.txt\r\nc.log\r\n", ""},
           {"dir \"$/data\\*.*\"  /a  /o:s /B >\"$\\Q-OUT\\Path.txt\"\r\nexit\r\n", "C", 0, "", ""},
           // Each cause of a failure has its own message, and the batch stops.
           {"dir \"$/data\" /b >\"$/Out\"\r\nexit\r\n", "C", 1, "", "Access is denied."},
           {"dir \"$/data\" /b >\"$/out\"\r\nexit\r\n", "zh_CN", 1, "", "拒绝访问。"},
           {"dir \"$/data\" /b >/dev/full\r\nexit\r\n", "C", 1, "", "There is not enough space on the disk."},
           {"dir \"$/data\" /b >/dev/full\r\nexit\r\n", "zh_CN", 1, "", "磁盘空间不足。"},
           {"dir \"$/" + too_long + "\\*.*\" /b\r\nexit\r\n", "C", 1, "",
            "The filename, directory name, or volume label syntax is incorrect."},
           {"dir \"$/data\" /b >\"$/" + too_long + "\"\r\nexit\r\n", "zh_CN", 1, "",
            "文件名、目录名或卷标语法不正确。"}}) {
    for (auto at = batch.find('$'); at != std::string::npos; at = batch.find('$'))
      batch.replace(at, 1, folder);
    temp.Write("path.bat", batch);
    const Result run = Cmd(temp, folder + "/path.bat",
                           "LC_ALL=" + std::string(locale) + ".UTF-8 QUERNEL_DATA=" + folder + "/data");
    EXPECT_EQ(run.exit_code, exit_code) << batch;
    EXPECT_EQ(run.out, out) << batch;
    EXPECT_NE(run.err.find(err), std::string::npos) << batch << run.err;
  }
  EXPECT_EQ(temp.Read("q-out/path.txt"), "a.txt\r\nb.txt\r\nc.log\r\n");
  EXPECT_FALSE(fs::exists(temp.Path() / "q-out/Path.txt") || fs::exists(temp.Path() / "Q-OUT"));

  // A listing on a full standard output; a batch file that is missing or a folder.
  temp.Write("path.bat", "dir \"" + folder + "\"\r\nexit\r\n");
  const Result full = Cmd(temp, folder + "/path.bat", "LC_ALL=C.UTF-8", "/dev/full");
  EXPECT_EQ(full.exit_code, 1);
  EXPECT_EQ(full.err, "There is not enough space on the disk.\n");
  for (const std::string& batch : {folder + "/missing.bat", folder + "/data"}) {
    const Result run = Cmd(temp, batch, "LC_ALL=C.UTF-8");
    EXPECT_EQ(run.exit_code, 1) << batch;
    EXPECT_EQ(
        run.err,
        "'" + batch +
            "' is not recognized as an internal or external command,\noperable program or batch file.\n");
  }
}

TEST(EndToEnd, GbkBatchUnderGbkLocale) {
  const bool generated = std::setlocale(LC_ALL, "zh_CN.GBK") != nullptr;
  std::setlocale(LC_ALL, "C");
  if (!generated) GTEST_SKIP() << "locale zh_CN.GBK is not generated";
  Charset gbk("GBK");
  TempFolder temp;
  for (const char* name : {"音乐/香蕉.txt", "音乐/apple.txt", "音乐/苹果.txt", "僜/x"})
    temp.Write(gbk.FromUtf8(name), "");
  // The second byte of 僜 in GBK is a backslash, and no separator.
  const std::string folder = temp.Path().string();
  temp.Write("path.bat", gbk.FromUtf8("dir \"" + folder + "/音乐\\*.txt\"    /o:n /B >\"" + folder +
                                      "\\僜\\path.txt\"\r\nexit\r\n"));
  const Result run = Cmd(temp, folder + "/path.bat", "LC_ALL=zh_CN.GBK");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(temp.Read(gbk.FromUtf8("僜/path.txt")), gbk.FromUtf8("apple.txt\r\n苹果.txt\r\n香蕉.txt\r\n"));
}

// A folder that can be read but not searched (r--): its names are known,
// their details are not. Nothing is dropped silently: entries are listed with
// what is known and named on the error stream, and the run fails. Modes bind
// root only through the unprivileged runner.
TEST(EndToEnd, UnsearchableFolder) {
  TempFolder temp;
  const std::string folder = temp.Path().string();
  const std::string locked = folder + "/locked";
  chmod(folder.c_str(), 0755);
  fs::create_directories(locked + "/sub");
  for (const char* name : {"locked/a.txt", "locked/b.txt", "unreadable.bat"}) temp.Write(name, "");
  chmod(locked.c_str(), 0444);
  chmod((folder + "/unreadable.bat").c_str(), 0);
  const std::string runner = "'" QUERNEL_CMD_UNPRIVILEGED "'";
  if (std::system(("env " + runner + " true 2>'" + folder + "/stderr'").c_str()) != 0)
    GTEST_SKIP() << temp.Read("stderr");

  const std::string named = locked + "/a.txt\n" + locked + "/b.txt\n" + locked + "/sub\n";
  const std::string unknown(39, ' ');
  // The bare format needs no details; sorting by size does, and whether a
  // file is read-only cannot be told: none is listed.
  for (const auto& [switches, locale, exit_code, out, err] :
       std::vector<std::tuple<const char*, const char*, int, std::string, std::string>>{
           {"/o:n", "C", 1,
            "\r\n Directory of " + locked + "\r\n\r\n.*<DIR> +\\.\r\n.*<DIR> +\\.\\.\r\n" + unknown +
                "a\\.txt\r\n" + unknown +
                "b\\.txt\r\n {20}    <DIR> {10}sub\r\n {15}2 File\\(s\\) {14}0 bytes\r\n.*\r\n",
            named + "Access is denied.\n"},
           {"/o:n /b", "C", 0, "a\\.txt\r\nb\\.txt\r\nsub\r\n", ""},
           {"/o:s /b", "zh_CN", 1, "a\\.txt\r\nb\\.txt\r\nsub\r\n", named + "拒绝访问。\n"},
           {"/a:r /b", "C", 1, "", named + "Access is denied.\n"}}) {
    temp.Write("path.bat", "dir \"" + locked + "\" " + switches + "\r\nexit\r\n");
    const Result run = Cmd(temp, folder + "/path.bat", "LC_ALL=" + std::string(locale) + ".UTF-8 " + runner);
    EXPECT_EQ(run.exit_code, exit_code) << switches;
    EXPECT_TRUE(std::regex_match(run.out, std::regex(out))) << switches << run.out;
    EXPECT_EQ(run.err, err) << switches;
  }
  const Result unreadable = Cmd(temp, folder + "/unreadable.bat", "LC_ALL=C.UTF-8 " + runner);
  EXPECT_EQ(unreadable.exit_code, 1);
  EXPECT_EQ(unreadable.err, "Access is denied.\n");
  chmod(locked.c_str(), 0755);
}

}  // namespace
}  // namespace quernel::cmd
