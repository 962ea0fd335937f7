#include "quernel-cmd/dir_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "quernel-cmd/command_line.h"
#include "temp_folder.h"

namespace quernel::cmd {
namespace {

using testing::LocalTime;
using testing::TempFolder;

const LocaleSettings english{"UTF-8", Language::English, "en_US"};
const LocaleSettings chinese{"UTF-8", Language::Chinese, "zh_CN"};

struct DirResult {
  std::string out;
  std::string err;
  int status = 0;
  bool failed = false;
};

// Runs "dir <arguments>" with `cwd` as the current folder.
DirResult Dir(const std::string& arguments, const LocaleSettings& locale, const std::string& cwd) {
  const auto parsed = ParseCommandLine(arguments);
  DirOptions options;
  if (ParseDirArguments(std::get<CommandLine>(parsed).words, options)) throw std::runtime_error(arguments);
  Charset charset(locale.charset);
  DirContext context{locale, charset, cwd};
  StringSink out;
  StringSink err;
  const DirStatus status = RunDir(options, context, out, err);
  return {out.Text(), err.Text(), status.errorlevel, status.failed};
}

std::string CrlfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A folder with files of distinct sizes and dates, hidden and read-only
// entries, names without extension and Chinese names.
class ListedFolder {
 public:
  ListedFolder() {
    File("apple.txt", 1234, LocalTime(2026, 12, 6, 22, 8));
    File("banana.txt", 10, LocalTime(2024, 1, 2, 9, 5));
    File("README", 0, LocalTime(2025, 5, 5, 12, 0));
    File("ab.txt", 2, LocalTime(2023, 3, 3, 3, 3));
    File("abc.log", 3, LocalTime(2022, 2, 2, 2, 2));
    File("苹果.txt", 5, LocalTime(2021, 1, 1, 1, 1));
    File("桃子.txt", 20, LocalTime(2020, 6, 1, 0, 0));
    chmod(File("locked.txt", 7, LocalTime(2019, 1, 1, 0, 0)).c_str(), 0444);
    File("Zed.MP3", 40, LocalTime(2018, 1, 1, 0, 0));
    File(".hidden", 0, LocalTime(2016, 1, 1, 0, 0));
    temp_.Folder("listed/.git", LocalTime(2016, 1, 1, 0, 0));
    temp_.Folder("listed/sub", LocalTime(2017, 1, 1, 0, 0));
  }
  std::string Path() const { return temp_ / "listed"; }

 private:
  std::string File(const std::string& name, std::size_t size, std::int64_t mtime) {
    temp_.Folder("listed");
    return temp_.File("listed/" + name, size, mtime);
  }
  TempFolder temp_;
};

struct SwitchCase {
  std::string arguments;  // "$" stands for the folder
  std::vector<std::string> names;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
  *os << c.arguments;
}

class DirSwitchTest : public ::testing::TestWithParam<SwitchCase> {
 protected:
  static void SetUpTestSuite() { folder_ = new ListedFolder; }
  static void TearDownTestSuite() { delete folder_; }
  static ListedFolder* folder_;
};
ListedFolder* DirSwitchTest::folder_ = nullptr;

TEST_P(DirSwitchTest, ListsNamesInOrder) {
  std::string arguments = GetParam().arguments;
  arguments.replace(arguments.find('$'), 1, folder_->Path());
  const DirResult result = Dir(arguments, english, "/");
  EXPECT_EQ(result.out, CrlfLines(GetParam().names)) << arguments;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, DirSwitchTest,
    ::testing::Values(SwitchCase{"\"$\\*.*\" /b /o:n",
                                 {"ab.txt", "abc.log", "apple.txt", "banana.txt", "locked.txt", "README",
                                  "sub", "Zed.MP3", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.*\" /B /O:-N",
                                 {"苹果.txt", "桃子.txt", "Zed.MP3", "sub", "README", "locked.txt",
                                  "banana.txt", "apple.txt", "abc.log", "ab.txt"}},
                      // The folder itself, quoted or bare, lists it with "*".
                      SwitchCase{"$ /b /o:n",
                                 {"ab.txt", "abc.log", "apple.txt", "banana.txt", "locked.txt", "README",
                                  "sub", "Zed.MP3", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.*\" /a:h /b /o:n", {".git", ".hidden"}},
                      SwitchCase{"\"$\\*.*\" /a:-d /b /o:n",
                                 {".hidden", "ab.txt", "abc.log", "apple.txt", "banana.txt", "locked.txt",
                                  "README", "Zed.MP3", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.*\" /a:d /b /o:n", {".git", "sub"}},
                      SwitchCase{"\"$\\*.*\" /a:dh /b /o:n", {".git"}},
                      SwitchCase{"\"$\\*.*\" /a:r /b", {"locked.txt"}},
                      SwitchCase{"\"$\\*.*\" /a:-a /b /o:n", {".git", "sub"}},
                      SwitchCase{"\"$\\*.*\" /a /b /o:gn",
                                 {".git", "sub", ".hidden", "ab.txt", "abc.log", "apple.txt", "banana.txt",
                                  "locked.txt", "README", "Zed.MP3", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.*\" /a: /o:-gn /b",
                                 {".hidden", "ab.txt", "abc.log", "apple.txt", "banana.txt", "locked.txt",
                                  "README", "Zed.MP3", "桃子.txt", "苹果.txt", ".git", "sub"}},
                      // Equal sizes (README, sub) keep the folder's order.
                      SwitchCase{"\"$\\*.*\" /b /o:s",
                                 {"README", "sub", "ab.txt", "abc.log", "苹果.txt", "locked.txt",
                                  "banana.txt", "桃子.txt", "Zed.MP3", "apple.txt"}},
                      SwitchCase{"\"$\\*.*\" /b /o:-s",
                                 {"apple.txt", "Zed.MP3", "桃子.txt", "banana.txt", "locked.txt", "苹果.txt",
                                  "abc.log", "ab.txt", "README", "sub"}},
                      SwitchCase{"\"$\\*.*\" /b /o:d",
                                 {"sub", "Zed.MP3", "locked.txt", "桃子.txt", "苹果.txt", "abc.log", "ab.txt",
                                  "banana.txt", "README", "apple.txt"}},
                      SwitchCase{"\"$\\*.*\" /b /o:e",
                                 {"README", "sub", "abc.log", "Zed.MP3", "ab.txt", "apple.txt", "banana.txt",
                                  "locked.txt", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.*\" /b /o:-es",
                                 {"ab.txt", "苹果.txt", "locked.txt", "banana.txt", "桃子.txt", "apple.txt",
                                  "Zed.MP3", "abc.log", "README", "sub"}},
                      SwitchCase{"\"$\\*.*\" /l /b /o:n",
                                 {"ab.txt", "abc.log", "apple.txt", "banana.txt", "locked.txt", "readme",
                                  "sub", "zed.mp3", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.txt\" /b /o:n",
                                 {"ab.txt", "apple.txt", "banana.txt", "locked.txt", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\??.txt\" /b /o:n", {"ab.txt", "桃子.txt", "苹果.txt"}},
                      SwitchCase{"\"$\\*.\" /b /o:n", {"README", "sub"}},
                      SwitchCase{"\"$\\A?C.LOG\" /b", {"abc.log"}},
                      SwitchCase{"\"$\\*.mp3\" /b /l", {"zed.mp3"}}));

struct CollationCase {
  const LocaleSettings* locale;
  std::string order;
  std::vector<std::string> names;
};

void PrintTo(const CollationCase& c, std::ostream* os) {
  *os << c.locale->collation_locale << " " << c.order;
}

class NameOrderTest : public ::testing::TestWithParam<CollationCase> {};

// Latin first, then Chinese in pinyin order (ping < tao < xiang, against
// code point order), and punctuation counts: "ab.txt" before "abc.txt".
TEST_P(NameOrderTest, FollowsTheLocalesOrder) {
  TempFolder folder;
  for (const char* name :
       {"香蕉.txt", "桃子.txt", "苹果.txt", "banana.txt", "Apple.txt", "abc.txt", "ab.txt", "a_b.txt"})
    folder.File(name);
  const DirResult result =
      Dir("\"" + folder.Path() + "\\*.*\" /b " + GetParam().order, *GetParam().locale, "/");
  EXPECT_EQ(result.out, CrlfLines(GetParam().names));
}

INSTANTIATE_TEST_SUITE_P(Locales, NameOrderTest,
                         ::testing::Values(CollationCase{&chinese,
                                                         "/o:n",
                                                         {"a_b.txt", "ab.txt", "abc.txt", "Apple.txt",
                                                          "banana.txt", "苹果.txt", "桃子.txt", "香蕉.txt"}},
                                           CollationCase{&chinese,
                                                         "/o:-n",
                                                         {"香蕉.txt", "桃子.txt", "苹果.txt", "banana.txt",
                                                          "Apple.txt", "abc.txt", "ab.txt", "a_b.txt"}},
                                           CollationCase{
                                               &english,
                                               "/o:n",
                                               {"a_b.txt", "ab.txt", "abc.txt", "Apple.txt", "banana.txt",
                                                "桃子.txt", "苹果.txt", "香蕉.txt"}}));

TEST(DirCommand, FullFormatShowsHeaderEntriesAndFooter) {
  TempFolder temp;
  const std::string listed = temp.Folder("listed");
  temp.File("listed/apple.txt", 1234, LocalTime(2026, 12, 6, 22, 8));
  temp.File("listed/苹果.txt", 1234567, LocalTime(2026, 1, 2, 9, 5));
  temp.Folder("listed/sub", LocalTime(2025, 7, 8, 0, 30));
  testing::SetMtime(listed, LocalTime(2024, 2, 3, 12, 0));
  testing::SetMtime(temp.Path(), LocalTime(2023, 4, 5, 13, 14));

  const DirResult english_result = Dir("\"" + listed + "\\*.*\" /o:gn", english, "/");
  const std::string english_entries = CrlfLines(
      {"", " Directory of " + listed, "", "02/03/2024  12:00 PM    <DIR>          .",
       "04/05/2023  01:14 PM    <DIR>          ..", "07/08/2025  12:30 AM    <DIR>          sub",
       "12/06/2026  10:08 PM             1,234 apple.txt", "01/02/2026  09:05 AM         1,234,567 苹果.txt",
       "               2 File(s)      1,235,801 bytes"});
  ASSERT_EQ(english_result.out.substr(0, english_entries.size()), english_entries);
  EXPECT_TRUE(std::regex_match(english_result.out.substr(english_entries.size()),
                               std::regex("               3 Dir\\(s\\) +[0-9,]+ bytes free\r\n")));
  EXPECT_EQ(english_result.out.size() - english_entries.size(),
            std::string("               3 Dir(s)  12,345,678,901 bytes free\r\n").size());

  const DirResult chinese_result = Dir("\"" + listed + "\" /o:n", chinese, "/");
  const std::string chinese_entries =
      CrlfLines({"", " " + listed + " 的目录", "", "2024/02/03  12:00    <DIR>          .",
                 "2023/04/05  13:14    <DIR>          ..", "2026/12/06  22:08             1,234 apple.txt",
                 "2025/07/08  00:30    <DIR>          sub", "2026/01/02  09:05         1,234,567 苹果.txt",
                 "               2 个文件      1,235,801 字节"});
  ASSERT_EQ(chinese_result.out.substr(0, chinese_entries.size()), chinese_entries);
  EXPECT_TRUE(std::regex_match(chinese_result.out.substr(chinese_entries.size()),
                               std::regex("               3 个目录 +[0-9,]+ 可用字节\r\n")));
}

TEST(DirCommand, LowerCaseReachesTheFullAndTheWideFormat) {
  TempFolder temp;
  temp.File("Zed.MP3", 1);
  for (const char* format : {" /l", " /l /w"}) {
    const DirResult result = Dir("\"" + temp.Path() + "\\*.mp3\"" + format, english, "/");
    EXPECT_NE(result.out.find("zed.mp3"), std::string::npos) << format << result.out;
    EXPECT_EQ(result.out.find("Zed.MP3"), std::string::npos) << format;
  }
}

TEST(DirCommand, EmptyFolderListsOnlyDotEntries) {
  TempFolder temp;
  const std::string empty = temp.Folder("empty");
  const DirResult full = Dir("\"" + empty + "\\*.*\"", english, "/");
  EXPECT_NE(full.out.find("<DIR>          .\r\n"), std::string::npos);
  EXPECT_NE(full.out.find("<DIR>          ..\r\n"), std::string::npos);
  EXPECT_NE(full.out.find("               0 File(s)              0 bytes\r\n"), std::string::npos);
  EXPECT_NE(full.out.find("               2 Dir(s)"), std::string::npos);
  EXPECT_EQ(full.status, 0);

  const DirResult bare = Dir("\"" + empty + "\\*.*\" /b", english, "/");
  EXPECT_EQ(bare.out, "");
  EXPECT_EQ(bare.err, "File Not Found\n");
  EXPECT_EQ(bare.status, 1);
}

struct NotFoundCase {
  std::string arguments;  // "$" stands for the temp folder
  const LocaleSettings* locale;
  std::string header;  // "$" again; empty when nothing is printed
  std::string message;
};

void PrintTo(const NotFoundCase& c, std::ostream* os) {
  *os << c.arguments;
}

class NotFoundTest : public ::testing::TestWithParam<NotFoundCase> {};

TEST_P(NotFoundTest, ReportsFileNotFoundWithoutEntries) {
  TempFolder temp;
  temp.File("only.txt");
  const auto WithFolder = [&](std::string text) {
    if (const auto at = text.find('$'); at != std::string::npos) text.replace(at, 1, temp.Path());
    return text;
  };
  const DirResult result = Dir(WithFolder(GetParam().arguments), *GetParam().locale, "/");
  EXPECT_EQ(result.out, WithFolder(GetParam().header));
  EXPECT_EQ(result.err, GetParam().message + "\n");
  EXPECT_EQ(result.status, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotFoundTest,
    ::testing::Values(NotFoundCase{"\"$/missing\\*.*\" /o:n", &english, "", "File Not Found"},
                      NotFoundCase{"\"$/missing\\*.*\" /b", &chinese, "", "找不到文件"},
                      NotFoundCase{"\"$\\*.mp3\" /b", &english, "", "File Not Found"},
                      NotFoundCase{"\"$\\*.mp3\"", &english, "\r\n Directory of $\r\n\r\n", "File Not Found"},
                      NotFoundCase{"\"$\\*.mp3\"", &chinese, "\r\n $ 的目录\r\n\r\n", "找不到文件"}));

// One name is one line of the listing, whatever control characters it has.
TEST(DirCommand, ControlCharactersInNamesAreQuestionMarks) {
  TempFolder temp;
  const std::string folder = temp.Folder("x\ty");
  for (const char* name :
       {"a\nb.txt", "c\rd.txt", "e\x1b[31m.txt", "f\x7f.txt", "g\xC2\x85h.txt", "i\x01.txt"})
    temp.File(std::string("x\ty/") + name);
  const std::string names = CrlfLines({"a?b.txt", "c?d.txt", "e?[31m.txt", "f?.txt", "g?h.txt", "i?.txt"});
  EXPECT_EQ(Dir("\"" + folder + "\" /b /o:n", english, "/").out, names);
  const DirResult full = Dir("\"" + folder + "\\*.txt\" /o:n", english, "/");
  EXPECT_NE(full.out.find(" Directory of " + temp.Path() + "/x?y\r\n"), std::string::npos) << full.out;
  EXPECT_EQ(std::count(full.out.begin(), full.out.end(), '\n'), 3 + 6 + 2) << full.out;
}

TEST(DirCommand, RootFolderHasNoDotEntries) {
  const DirResult result = Dir("\\ /a:d /w", english, "/tmp");
  EXPECT_NE(result.out.find(" Directory of /\r\n"), std::string::npos);
  EXPECT_NE(result.out.find("[tmp]"), std::string::npos);
  EXPECT_EQ(result.out.find("[.]"), std::string::npos);
  EXPECT_EQ(result.out.find("[..]"), std::string::npos);
}

TEST(DirCommand, RelativePathsStartAtTheCurrentFolder) {
  TempFolder temp;
  temp.Folder("sub");
  temp.File("sub/x.txt");
  EXPECT_EQ(Dir("sub\\*.txt /b", english, temp.Path()).out, "x.txt\r\n");
  EXPECT_EQ(Dir("/b", english, temp / "sub").out, "x.txt\r\n");
}

}  // namespace
}  // namespace quernel::cmd
