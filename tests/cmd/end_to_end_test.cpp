// Runs the built quernel-cmd on batch files as Quernel writes them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "quernel-cmd/charset.h"
#include "temp_folder.h"

namespace quernel::cmd {
namespace {

using testing::ReadText;
using testing::TempFolder;

struct ProcessResult {
  int exit_code;
  std::string out;
  std::string err;
};

bool LocaleAvailable(const char* name) {
  const bool available = std::setlocale(LC_ALL, name) != nullptr;
  std::setlocale(LC_ALL, "C");
  return available;
}

// Writes `batch` as path.bat in `temp` (unless it is empty) and runs it, or
// runs the batch file `batch_path` when given. `runner` goes before the
// program: the unprivileged runner, say.
ProcessResult RunBatchFile(const TempFolder& temp, const std::string& batch, const std::string& environment,
                           const std::string& runner = "", const std::string& batch_path = "") {
  if (batch_path.empty()) std::ofstream(temp / "path.bat", std::ios::binary) << batch;
  const std::string command = "env -u LANGUAGE " + environment + " " + runner +
                              " '" QUERNEL_CMD_EXECUTABLE "' /c '" +
                              (batch_path.empty() ? temp / "path.bat" : batch_path) + "' >'" +
                              (temp / "stdout") + "' 2>'" + (temp / "stderr") + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(temp / "stdout"), ReadText(temp / "stderr")};
}

struct BatchCase {
  std::string name;
  std::string batch;  // "$" stands for the temp folder
  std::string environment;
  int exit_code;
  std::string out;
  std::string err_part;
};

void PrintTo(const BatchCase& c, std::ostream* os) {
  *os << c.name;
}

class BatchTest : public ::testing::TestWithParam<BatchCase> {};

TEST_P(BatchTest, RunsLikeCmd) {
  TempFolder temp;
  temp.Folder("data/100%");
  temp.Folder("out");
  temp.File("data/b.txt");
  temp.File("data/a.txt");
  temp.File("data/c.log");
  temp.File("data/100%/inside.txt");
  std::string batch = GetParam().batch;
  for (std::size_t at = batch.find('$'); at != std::string::npos; at = batch.find('$'))
    batch.replace(at, 1, temp.Path());
  const ProcessResult run = RunBatchFile(
      temp, batch, "LC_ALL=C.UTF-8 QUERNEL_DATA=" + (temp / "data") + " " + GetParam().environment);
  EXPECT_EQ(run.exit_code, GetParam().exit_code);
  EXPECT_EQ(run.out, GetParam().out);
  EXPECT_NE(run.err.find(GetParam().err_part), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Batches, BatchTest,
    ::testing::Values(
        BatchCase{"CrLf", "dir \"$/data\\*.txt\"    /o:n /B\r\nexit\r\n", "", 0, "a.txt\r\nb.txt\r\n", ""},
        BatchCase{"LfAndUpperCase", "DIR \"$/data\\*.txt\" /O:-N /b\nEXIT\n", "", 0, "b.txt\r\na.txt\r\n",
                  ""},
        BatchCase{"DoublePercent", "dir \"$/data\\100%%\" /b\r\nexit\r\n", "", 0, "inside.txt\r\n", ""},
        BatchCase{"Variable", "dir \"%quernel_data%\\*.log\" /b\r\nexit\r\n", "", 0, "c.log\r\n", ""},
        BatchCase{"ExitCode", "\r\n\r\nexit 7\r\ndir /b\r\n", "", 7, "", ""},
        BatchCase{"NoMatchStillExitsZero", "dir \"$/data\\*.mp3\" /b\r\nexit\r\n", "", 0, "",
                  "File Not Found"},
        BatchCase{"UnknownCommand", "copy a b\r\nexit\r\n", "", 1, "", "'copy' is not recognized"},
        BatchCase{"UnknownSwitch", "dir \"$/data\" /s\r\nexit\r\n", "", 1, "", "Invalid switch - \"s\"."},
        BatchCase{"BadRedirect", "dir \"$/data\" >\"$/nowhere\\Path.txt\"\r\nexit\r\n", "", 1, "",
                  "cannot find the path"},
        BatchCase{"ChineseMessages", "dir \"$/missing\\*.*\" /b\r\nexit 2\r\n", "LC_ALL=zh_CN.UTF-8", 2, "",
                  "找不到文件"},
        // Folders are found ignoring case, in the listed path as in the target.
        BatchCase{"FolderInOtherCase", "dir \"$/DATA\\*.TXT\" /o:n /b\r\nexit\r\n", "", 0,
                  "a.txt\r\nb.txt\r\n", ""},
        BatchCase{"FolderInOtherCaseListedWhole", "dir \"$\\Data\" /o:n /b\r\nexit\r\n", "", 0,
                  "100%\r\na.txt\r\nb.txt\r\nc.log\r\n", ""},
        // Each cause of a failure has its own message, and the batch stops.
        BatchCase{"FolderAsTarget", "dir \"$/data\" /b >\"$/Out\"\r\nexit\r\n", "", 1, "",
                  "Access is denied."},
        BatchCase{"FolderAsTargetChinese", "dir \"$/data\" /b >\"$/out\"\r\nexit\r\n", "LC_ALL=zh_CN.UTF-8",
                  1, "", "拒绝访问。"},
        BatchCase{"DiskFull", "dir \"$/data\" /b >/dev/full\r\nexit\r\n", "", 1, "",
                  "There is not enough space on the disk."},
        BatchCase{"DiskFullChinese", "dir \"$/data\" /b >/dev/full\r\nexit\r\n", "LC_ALL=zh_CN.UTF-8", 1, "",
                  "磁盘空间不足。"},
        BatchCase{"NameTooLong", "dir \"$/" + std::string(300, 'n') + "\\*.*\" /b\r\nexit\r\n", "", 1, "",
                  "The filename, directory name, or volume label syntax is incorrect."},
        BatchCase{"TargetNameTooLong", "dir \"$/data\" /b >\"$/" + std::string(300, 'n') + "\"\r\nexit\r\n",
                  "LC_ALL=zh_CN.UTF-8", 1, "", "文件名、目录名或卷标语法不正确。"}),
    [](const auto& test) { return test.param.name; });

TEST(EndToEnd, RedirectReplacesAFileDifferingOnlyInCase) {
  TempFolder temp;
  temp.Folder("data");
  temp.File("data/a.txt");
  temp.Folder("q-out");
  std::ofstream(temp / "q-out/path.txt") << "old listing that is longer\r\n";
  const ProcessResult run = RunBatchFile(temp,
                                         "dir \"" + (temp / "data") + "\\*.*\"  /a  /o:s /B >\"" +
                                             temp.Path() + "\\Q-OUT\\Path.txt\"\r\nexit\r\n",
                                         "LC_ALL=C.UTF-8");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadText(temp / "q-out/path.txt"), "a.txt\r\n");
  EXPECT_FALSE(std::ifstream(temp / "q-out/Path.txt").good());
  EXPECT_FALSE(std::filesystem::exists(temp / "Q-OUT"));
}

TEST(EndToEnd, GbkBatchUnderGbkLocale) {
  if (!LocaleAvailable("zh_CN.GBK")) GTEST_SKIP() << "locale zh_CN.GBK is not generated";
  Charset gbk("GBK");
  TempFolder temp;
  const std::string music = temp / gbk.FromUtf8("音乐");
  temp.Folder(gbk.FromUtf8("音乐"));
  for (const char* name : {"香蕉.txt", "apple.txt", "苹果.txt"})
    std::ofstream(music + "/" + gbk.FromUtf8(name));
  // The second byte of 僜 in GBK is a backslash, and no separator.
  temp.Folder(gbk.FromUtf8("僜"));
  const ProcessResult run =
      RunBatchFile(temp,
                   gbk.FromUtf8("dir \"" + temp.Path() + "/音乐\\*.txt\"    /o:n /B >\"" + temp.Path() +
                                "\\僜\\path.txt\"\r\nexit\r\n"),
                   "LC_ALL=zh_CN.GBK");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadText(temp / gbk.FromUtf8("僜/path.txt")),
            gbk.FromUtf8("apple.txt\r\n苹果.txt\r\n香蕉.txt\r\n"));
}

TEST(EndToEnd, FullDiskOnStandardOutput) {
  TempFolder temp;
  std::ofstream(temp / "path.bat") << "dir \"" << temp.Path() << "\"\r\nexit\r\n";
  const std::string command = "LC_ALL=C.UTF-8 '" QUERNEL_CMD_EXECUTABLE "' /c '" + (temp / "path.bat") +
                              "' >/dev/full 2>'" + (temp / "stderr") + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(ReadText(temp / "stderr"), "There is not enough space on the disk.\n");
}

// A batch file that is missing or a folder is no command cmd knows; the
// program reports it and fails instead of aborting.
TEST(EndToEnd, BatchFileThatCannotBeRun) {
  TempFolder temp;
  temp.Folder("folder.bat");
  for (const std::string& path : {temp / "missing.bat", temp / "folder.bat"}) {
    const ProcessResult run = RunBatchFile(temp, "", "LC_ALL=C.UTF-8", "", path);
    EXPECT_EQ(run.exit_code, 1) << path;
    EXPECT_EQ(
        run.err,
        "'" + path +
            "' is not recognized as an internal or external command,\noperable program or batch file.\n");
  }
}

// A folder that can be read but not searched (r--): its names are known,
// their details are not. Nothing is dropped silently: entries are listed with
// what is known and named on the error stream, and the run fails. Modes bind
// root only through the unprivileged runner.
TEST(EndToEnd, UnsearchableFolder) {
  TempFolder temp;
  chmod(temp.Path().c_str(), 0755);
  temp.Folder("locked/sub");
  temp.File("locked/a.txt", 5);
  temp.File("locked/b.txt", 7);
  temp.File("unreadable.bat");
  chmod((temp / "locked").c_str(), 0444);
  chmod((temp / "unreadable.bat").c_str(), 0);
  const std::string runner = "'" QUERNEL_CMD_UNPRIVILEGED "'";
  if (const int status = std::system((runner + " true 2>'" + (temp / "stderr") + "'").c_str());
      !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    GTEST_SKIP() << ReadText(temp / "stderr");

  const std::string locked = temp / "locked";
  const std::string named = locked + "/a.txt\n" + locked + "/b.txt\n" + locked + "/sub\n";
  const ProcessResult full =
      RunBatchFile(temp, "dir \"" + locked + "\" /o:n\r\nexit\r\n", "LC_ALL=C.UTF-8", runner);
  EXPECT_EQ(full.exit_code, 1);
  const std::string blank_date(20, ' ');
  EXPECT_NE(full.out.find(" Directory of " + locked + "\r\n"), std::string::npos) << full.out;
  EXPECT_NE(full.out.find("\r\n" + blank_date + std::string(19, ' ') + "a.txt\r\n" + blank_date +
                          std::string(19, ' ') + "b.txt\r\n" + blank_date + "    <DIR>          sub\r\n"),
            std::string::npos)
      << full.out;
  EXPECT_NE(full.out.find("               2 File(s)              0 bytes\r\n"), std::string::npos)
      << full.out;
  EXPECT_EQ(full.err, named + "Access is denied.\n");

  // The bare format needs no details; sorting by size does.
  const ProcessResult bare =
      RunBatchFile(temp, "dir \"" + locked + "\" /o:n /b\r\nexit\r\n", "LC_ALL=C.UTF-8", runner);
  EXPECT_EQ(bare.exit_code, 0) << bare.err;
  EXPECT_EQ(bare.out, "a.txt\r\nb.txt\r\nsub\r\n");
  const ProcessResult by_size =
      RunBatchFile(temp, "dir \"" + locked + "\" /o:s /b\r\nexit\r\n", "LC_ALL=zh_CN.UTF-8", runner);
  EXPECT_EQ(by_size.exit_code, 1);
  EXPECT_EQ(by_size.out, "a.txt\r\nb.txt\r\nsub\r\n");
  EXPECT_EQ(by_size.err, named + "拒绝访问。\n");

  // Whether a file is read-only cannot be told: none is listed, all are named.
  const ProcessResult read_only =
      RunBatchFile(temp, "dir \"" + locked + "\" /a:r /b\r\nexit\r\n", "LC_ALL=C.UTF-8", runner);
  EXPECT_EQ(read_only.exit_code, 1);
  EXPECT_EQ(read_only.out, "");
  EXPECT_EQ(read_only.err, named + "Access is denied.\n");

  const ProcessResult unreadable = RunBatchFile(temp, "", "LC_ALL=C.UTF-8", runner, temp / "unreadable.bat");
  EXPECT_EQ(unreadable.exit_code, 1);
  EXPECT_EQ(unreadable.err, "Access is denied.\n");
  chmod(locked.c_str(), 0755);
}

}  // namespace
}  // namespace quernel::cmd
