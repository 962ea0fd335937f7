// Runs the built quernel-cmd on batch files as Quernel writes them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <string>

#include "charset.hpp"
#include "temp_folder.hpp"

namespace quernel::cmd {
namespace {

using testing::read_text;
using testing::TempFolder;

struct ProcessResult {
  int exit_code;
  std::string out;
  std::string err;
};

bool locale_available(const char* name) {
  const bool available = std::setlocale(LC_ALL, name) != nullptr;
  std::setlocale(LC_ALL, "C");
  return available;
}

ProcessResult run_batch_file(const TempFolder& temp, const std::string& batch,
                             const std::string& environment) {
  std::ofstream(temp / "path.bat", std::ios::binary) << batch;
  const std::string command = "env -u LANGUAGE " + environment + " '" QUERNEL_CMD_EXECUTABLE "' /c '" +
                              (temp / "path.bat") + "' >'" + (temp / "stdout") + "' 2>'" + (temp / "stderr") +
                              "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_text(temp / "stdout"),
          read_text(temp / "stderr")};
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
  temp.folder("data/100%");
  temp.file("data/b.txt");
  temp.file("data/a.txt");
  temp.file("data/c.log");
  temp.file("data/100%/inside.txt");
  std::string batch = GetParam().batch;
  for (std::size_t at = batch.find('$'); at != std::string::npos; at = batch.find('$'))
    batch.replace(at, 1, temp.path());
  const ProcessResult run = run_batch_file(
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
                  "找不到文件"}),
    [](const auto& test) { return test.param.name; });

TEST(EndToEnd, RedirectReplacesAFileDifferingOnlyInCase) {
  TempFolder temp;
  temp.folder("data");
  temp.file("data/a.txt");
  std::ofstream(temp / "path.txt") << "old listing that is longer\r\n";
  const ProcessResult run = run_batch_file(
      temp,
      "dir \"" + (temp / "data") + "\\*.*\"  /a  /o:s /B >\"" + temp.path() + "\\Path.txt\"\r\nexit\r\n",
      "LC_ALL=C.UTF-8");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(read_text(temp / "path.txt"), "a.txt\r\n");
  EXPECT_FALSE(std::ifstream(temp / "Path.txt").good());
}

TEST(EndToEnd, GbkBatchUnderGbkLocale) {
  if (!locale_available("zh_CN.GBK")) GTEST_SKIP() << "locale zh_CN.GBK is not generated";
  Charset gbk("GBK");
  TempFolder temp;
  const std::string music = temp / gbk.from_utf8("音乐");
  temp.folder(gbk.from_utf8("音乐"));
  for (const char* name : {"香蕉.txt", "apple.txt", "苹果.txt"})
    std::ofstream(music + "/" + gbk.from_utf8(name));
  const ProcessResult run =
      run_batch_file(temp,
                     gbk.from_utf8("dir \"" + temp.path() + "/音乐\\*.txt\"    /o:n /B >\"" + temp.path() +
                                   "\\path.txt\"\r\nexit\r\n"),
                     "LC_ALL=zh_CN.GBK");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(read_text(temp / "path.txt"), gbk.from_utf8("apple.txt\r\n苹果.txt\r\n香蕉.txt\r\n"));
}

TEST(EndToEnd, MissingBatchFileFails) {
  const std::string command = "'" QUERNEL_CMD_EXECUTABLE "' /c /nonexistent/path.bat 2>/dev/null";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
}

}  // namespace
}  // namespace quernel::cmd
