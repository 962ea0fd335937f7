// dir on real folders, in the test and by the built quernel-cmd on batch files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <regex>
#include <sstream>
#include <tuple>

#include "quernel-cmd/batch.h"
#include "quernel-cmd/command_line.h"
#include "quernel-cmd/dir_command.h"
#include "quernel-cmd/formatting.h"
#include "support/test_support.h"

namespace quernel::cmd {
namespace {

namespace fs = std::filesystem;
using quernel::testing::TempFolder;
using namespace attribute;
constexpr auto English = Language::English;
constexpr auto Chinese = Language::Chinese;

// Seconds since the epoch of a local time, whatever the time zone.
std::int64_t LocalTime(int year, int month, int day, int hour, int minute) {
  std::tm tm{0, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
  return std::mktime(&tm);
}

// A file of `size` bytes (a folder when negative), changed last at `mtime`.
std::string Make(const fs::path& path, std::int64_t size, std::int64_t mtime = 0) {
  if (size < 0)
    fs::create_directories(path);
  else
    quernel::testing::WriteBytes(path, std::string(static_cast<std::size_t>(size), 'x'));
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(mtime), 0}};
  EXPECT_TRUE(mtime == 0 || utimensat(AT_FDCWD, path.c_str(), times, 0) == 0) << path;
  return path.string();
}

// The lines of `text` split at each `separator`, as dir writes them.
std::string Lines(const std::string& text, char separator = ' ') {
  std::istringstream in(text);
  std::string lines;
  for (std::string line; std::getline(in, line, separator);) lines += line + "\r\n";
  return lines;
}

std::string Fill(const std::string& text, const std::string& folder) {  // each "$" is the folder
  return std::regex_replace(text, std::regex("\\$"), folder);
}

// "dir ARGUMENTS"'s output, error stream and errorlevel; the free space as "#"s.
std::string Dir(const std::string& arguments, Language language = English, const std::string& cwd = "/") {
  DirOptions options;
  EXPECT_TRUE(ParseDirArguments(ParseCommandLine(arguments)->words, options).has_value());
  const LocaleSettings locale{"UTF-8", language, language == Chinese ? "zh_CN" : "en_US"};
  Charset charset("UTF-8");
  DirContext context{locale, charset, cwd};
  StringSink out, err;
  const int errorlevel = RunDir(options, context, out, err).errorlevel;
  std::string text = out.Text();
  for (const auto& [before, width] : {std::pair<std::string, std::size_t>{" Dir(s) ", 15}, {" 个目录 ", 14}})
    if (const auto at = text.find(before); at != std::string::npos)
      text.replace(at + before.size(), width, width, '#');
  return text + err.Text() + std::to_string(errorlevel);
}

TEST(Formatting, WideColumnsAndFootersLineUp) {
  // Widest cell 25 columns, Chinese characters two each: three columns of 26 fit 80; /l.
  Listing listing;
  const char* names[] = {".", "..", "音乐", "apple.txt", "苹果.txt", "a-very-long-file-name.txt", "B.TXT"};
  for (int i = 0; i < 7; ++i) listing.Add(names[i], {std::max(i - 2, 0), 0, 0, i < 3 ? directory : archive});
  StringSink out;
  WriteListing(listing, {ListingFormat::Wide, true, English}, {"/data", 12345678901}, out);
  EXPECT_EQ(
      out.Text(),
      Lines(
          "| Directory of /data||[.]                       [..]                      [音乐]|"
          "apple.txt                 苹果.txt                  a-very-long-file-name.txt|b.txt|"
          "               4 File(s)             10 bytes|               3 Dir(s)  12,345,678,901 bytes free",
          '|'));
}

// "ARGUMENTS => NAMES": dir ARGUMENTS /b, "$" the folder, lists NAMES.
TEST(DirCommand, SwitchesChooseSortAndFilterNamesInTheLocalesOrder) {
  TempFolder temp;
  const std::string folder = temp.Path().string();
  // Name, size (a folder when negative) and year, the dates not in name order.
  std::istringstream entries(
      "apple.txt 1234 2026  README 0 2025  ab.txt 2 2023  abc.log 3 2022  苹果.txt 5 2021  "
      "locked.txt 7 2019  Zed.MP3 40 2018  .hidden 0 2016  .git -1 2016  sub -1 2017");
  std::string name;
  for (int size, year; entries >> name >> size >> year;)
    Make(temp.Path() / name, size, LocalTime(year, 1, 1, 0, 0));
  chmod((folder + "/locked.txt").c_str(), 0444);
  for (const char* text :
       {"\"$\\*.*\" /o:n => ab.txt abc.log apple.txt locked.txt README sub Zed.MP3 苹果.txt",
        "$ /O:-N => 苹果.txt Zed.MP3 sub README locked.txt apple.txt abc.log ab.txt",
        "$ /a:h /o:n => .git .hidden",
        "$ /a:-d /o:n => .hidden ab.txt abc.log apple.txt locked.txt README Zed.MP3 苹果.txt",
        "$ /a:d /o:n => .git sub", "$ /a:dh => .git", "$ /a:r => locked.txt", "$ /a:-a /o:n => .git sub",
        "$ /a /o:gn => .git sub .hidden ab.txt abc.log apple.txt locked.txt README Zed.MP3 苹果.txt",
        "$ /a: /o:-gn => .hidden ab.txt abc.log apple.txt locked.txt README Zed.MP3 苹果.txt .git sub",
        // Equal sizes (README, sub) keep the folder's order.
        "$ /o:s => README sub ab.txt abc.log 苹果.txt locked.txt Zed.MP3 apple.txt",
        "$ /o:-s => apple.txt Zed.MP3 locked.txt 苹果.txt abc.log ab.txt README sub",
        "$ /o:d => sub Zed.MP3 locked.txt 苹果.txt abc.log ab.txt README apple.txt",
        "$ /o:e => README sub abc.log Zed.MP3 ab.txt apple.txt locked.txt 苹果.txt",
        "$ /o:-es => ab.txt 苹果.txt locked.txt apple.txt Zed.MP3 abc.log README sub",
        "$ /l /o:n => ab.txt abc.log apple.txt locked.txt readme sub zed.mp3 苹果.txt",
        "$\\*.txt /o:n => ab.txt apple.txt locked.txt 苹果.txt"}) {  // the units test has the patterns
    const std::string arguments(text, std::strstr(text, " => "));
    EXPECT_EQ(Dir(Fill(arguments, folder) + " /b"), Lines(std::strstr(text, " => ") + 4) + "0") << arguments;
  }
  // Latin, then Chinese in pinyin order (against code points); punctuation counts.
  TempFolder ordered;
  for (const char* entry :
       {"香蕉.txt", "桃子.txt", "苹果.txt", "banana.txt", "Apple.txt", "abc.txt", "ab.txt", "a_b.txt"})
    Make(ordered.Path() / entry, 0);
  for (const auto& [language, order, names] : std::vector<std::tuple<Language, const char*, const char*>>{
           {Chinese, "/o:n", "a_b.txt ab.txt abc.txt Apple.txt banana.txt 苹果.txt 桃子.txt 香蕉.txt"},
           {Chinese, "/o:-n", "香蕉.txt 桃子.txt 苹果.txt banana.txt Apple.txt abc.txt ab.txt a_b.txt"},
           {English, "/o:n", "a_b.txt ab.txt abc.txt Apple.txt banana.txt 桃子.txt 苹果.txt 香蕉.txt"}})
    EXPECT_EQ(Dir("\"" + ordered.Path().string() + "\\*.*\" /b " + order, language), Lines(names) + "0")
        << order;
}

TEST(DirCommand, FullFormatShowsHeaderEntriesAndFooterAndNoControlCharacters) {
  TempFolder temp;
  const std::string listed = Make(temp.Path() / "listed", -1);
  Make(temp.Path() / "listed/Apple.TXT", 1234, LocalTime(2026, 12, 6, 22, 8));
  Make(temp.Path() / "listed/苹果.txt", 1234567, LocalTime(2026, 1, 2, 9, 5));
  Make(temp.Path() / "listed/sub", -1, LocalTime(2025, 7, 8, 0, 30));
  Make(listed, -1, LocalTime(2024, 2, 3, 12, 0));
  Make(temp.Path(), -1, LocalTime(2023, 4, 5, 13, 14));
  for (const auto& [arguments, language, lines] : std::vector<std::tuple<const char*, Language, const char*>>{
           {"\"$\\*.*\" /o:gn", English,
            "| Directory of $||02/03/2024  12:00 PM    <DIR>          .|"
            "04/05/2023  01:14 PM    <DIR>          ..|07/08/2025  12:30 AM    <DIR>          sub|"
            "12/06/2026  10:08 PM             1,234 Apple.TXT|"
            "01/02/2026  09:05 AM         1,234,567 苹果.txt|               2 File(s)      1,235,801 bytes|"
            "               3 Dir(s) ############### bytes free"},
           // A folder lists all it holds; /l reaches the full format.
           {"\"$\" /o:n /l", Chinese,
            "| $ 的目录||2024/02/03  12:00    <DIR>          .|2023/04/05  13:14    <DIR>          ..|"
            "2026/12/06  22:08             1,234 apple.txt|2025/07/08  00:30    <DIR>          sub|"
            "2026/01/02  09:05         1,234,567 苹果.txt|               2 个文件      1,235,801 字节|"
            "               3 个目录 ############## 可用字节"}})
    EXPECT_EQ(Dir(Fill(arguments, listed), language), Fill(Lines(lines, '|'), listed) + "0") << arguments;
  // Nothing found: the header alone, if any.
  EXPECT_EQ(Dir("\"" + listed + "/missing\\*.*\" /o:n"), "File Not Found\n1");
  EXPECT_EQ(Dir("\"" + listed + "\\*.mp3\""), "\r\n Directory of " + listed + "\r\n\r\nFile Not Found\n1");
  // Relative paths start at the current folder; the root has no dot entries.
  EXPECT_EQ(Dir("listed\\a*.txt /b", English, temp.Path().string()), "Apple.TXT\r\n0");
  EXPECT_EQ(Dir("/b /a:d", English, listed), "sub\r\n0");
  const std::string root = Dir("\\ /a:d /w", English, "/tmp");
  EXPECT_TRUE(root.starts_with("\r\n Directory of /\r\n\r\n")) << root;
  EXPECT_NE(root.find("[tmp]"), std::string::npos) << root;
  EXPECT_EQ(root.find("[."), std::string::npos) << root;
  // One name is one line of the listing, whatever control characters it has.
  const std::string folder = Make(temp.Path() / "x\ty", -1);
  for (const char* name :
       {"a\nb.txt", "c\rd.txt", "e\x1b[31m.txt", "f\x7f.txt", "g\xC2\x85h.txt", "i\x01.txt"})
    Make(folder + "/" + name, 0);
  EXPECT_EQ(Dir("\"" + folder + "\" /b /o:n"),
            Lines("a?b.txt c?d.txt e?[31m.txt f?.txt g?h.txt i?.txt") + "0");
  const std::string full = Dir("\"" + folder + "\\*.txt\" /o:n");
  EXPECT_NE(full.find(" Directory of " + temp.Path().string() + "/x?y\r\n"), std::string::npos) << full;
  EXPECT_EQ(std::count(full.begin(), full.end(), '\n'), 3 + 6 + 2) << full;
}

// "quernel-cmd ARGUMENTS"'s output, error stream and exit code; `prefix` (variables, a runner) first.
std::string Cmd(const TempFolder& temp, const std::string& prefix, const std::string& arguments,
                const std::string& redirect = "") {
  const std::string folder = temp.Path().string();
  const int status = std::system(("env -u LANGUAGE " + prefix + " '" QUERNEL_CMD_EXECUTABLE "' " + arguments +
                                  " >'" + folder + "/stdout' 2>'" + folder + "/stderr' " + redirect)
                                     .c_str());
  return temp.Read("stdout") + temp.Read("stderr") +
         std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

TEST(EndToEnd, RunsBatchFilesLikeCmd) {
  TempFolder temp;
  const std::string folder = temp.Path().string(), run = "/c '" + folder + "/path.bat'";
  for (const char* name : {"data/b.txt", "data/a.txt", "data/c.log", "out/x", "link/x", "fifo/x"})
    temp.Write(name, "");
  temp.Write("q-out/path.txt", "an old listing that is longer than the new one\r\n");
  const std::string unknown =
      "' is not recognized as an internal or external command,\noperable program or batch file.\n1";
  const std::string too_long = "$/" + std::string(300, 'n');
  setenv("QUERNEL_DATA", (folder + "/data").c_str(), 1);
  temp.Write("kept.txt", "kept");
  fs::create_symlink(temp.Path() / "kept.txt", temp.Path() / "link/Path.txt");
  ASSERT_EQ(mkfifo((folder + "/fifo/Path.txt").c_str(), 0666), 0);
  for (const auto& [batch, locale, result] : std::vector<std::tuple<std::string, const char*, std::string>>{
           {"dir \"$/data\\*.txt\"    /o:n /B\r\nexit\r\n", "C", "a.txt\r\nb.txt\r\n0"},
           {"DIR \"$/data\\*.txt\" /O:-N /b\nEXIT\n", "C", "b.txt\r\na.txt\r\n0"},
           {"dir \"%quernel_data%\\*.log\" /b\r\nexit\r\n", "C", "c.log\r\n0"},
           {"\r\n\r\nexit 7\r\ndir /b\r\n", "C", "7"},
           {"dir \"$/data\\*.mp3\" /b\r\nexit\r\n", "C", "File Not Found\n0"},
           {"dir \"$/missing\\*.*\" /b\r\nexit 2\r\n", "zh_CN", "找不到文件\n2"},
           {"copy a b\r\nexit\r\n", "C", "'copy" + unknown},
           {"dir \"$/data\" >\"$/nowhere\\Path.txt\"\r\nexit\r\n", "C",
            "The system cannot find the path specified.\n1"},
           // Folders found ignoring case, listed or target; a file differing only in case replaced.
           {"dir \"$/DATA\\*.TXT\" /o:n /b\r\nexit\r\n", "C", "a.txt\r\nb.txt\r\n0"},
           {"dir \"$\\Data\" /o:n /b\r\nexit\r\n", "C", "a.txt\r\nb.txt\r\nc.log\r\n0"},
           {"dir \"$/data\\*.*\"  /a  /o:s /B >\"$\\Q-OUT\\Path.txt\"\r\nexit\r\n", "C", "0"},
           // Each cause of a failure has its own message, and the batch stops.
           {"dir \"$/data\" /b >\"$/out\"\r\nexit\r\n", "zh_CN", "拒绝访问。\n1"},
           // Only a regular file is written: never a link's target, a FIFO or a device.
           {"dir \"$/data\" /b >\"$/link\\Path.txt\"\r\nexit\r\n", "C", "Access is denied.\n1"},
           {"dir \"$/data\" /b >\"$/fifo\\Path.txt\"\r\nexit\r\n", "zh_CN", "拒绝访问。\n1"},
           {"dir \"$/data\" /b >/dev/full\r\nexit\r\n", "C", "Access is denied.\n1"},
           {"dir \"$/data\" /b /o:n >\"$/new.txt\"\r\r\nexit\r\n", "C", "0"},  // CRs go from a line
           {"dir \"" + too_long + "\\*.*\" /b\r\nexit\r\n", "C",
            "The filename, directory name, or volume label syntax is incorrect.\n1"},
           {"dir \"$/data\" /b >\"" + too_long + "\"\r\nexit\r\n", "zh_CN",
            "文件名、目录名或卷标语法不正确。\n1"}}) {
    temp.Write("path.bat", Fill(batch, folder));
    EXPECT_EQ(Cmd(temp, "LC_ALL=" + std::string(locale) + ".UTF-8 timeout 20", run), result) << batch;
  }
  EXPECT_EQ(temp.Read("q-out/path.txt"), "a.txt\r\nb.txt\r\nc.log\r\n");
  EXPECT_EQ(temp.Read("new.txt"), "a.txt\r\nb.txt\r\nc.log\r\n");
  EXPECT_EQ(temp.Read("kept.txt"), "kept");
  EXPECT_FALSE(fs::exists(temp.Path() / "q-out/Path.txt"));
  EXPECT_FALSE(fs::exists(temp.Path() / "Q-OUT"));

  // A listing on a full standard output; a batch file that is missing or a folder.
  temp.Write("path.bat", "dir \"" + folder + "\"\r\nexit\r\n");
  EXPECT_EQ(Cmd(temp, "LC_ALL=C.UTF-8", run, ">/dev/full"), "There is not enough space on the disk.\n1");
  for (const std::string& batch : {folder + "/missing.bat", folder + "/data"})
    EXPECT_EQ(Cmd(temp, "LC_ALL=C.UTF-8", "/c '" + batch + "'"), "'" + batch + unknown);
  // cmd's switches before /c (the table of units has them all); others are refused.
  EXPECT_EQ(Cmd(temp, "LC_ALL=C.UTF-8", "/D /v:off " + run, ">/dev/null"), "0");
  EXPECT_EQ(Cmd(temp, "LC_ALL=C.UTF-8", "/k " + run), "usage: quernel-cmd [/u] [/d] [/v:off] /c FILE.bat\n1");
  // A disk that fills up under the listing is named in cmd's words.
  Charset charset("UTF-8");
  const LocaleSettings locale{"UTF-8", English, ""};
  StringSink out, err;
  const auto full = [](const std::string&, int) { return open("/dev/full", O_WRONLY | O_CLOEXEC); };
  BatchContext context{locale, charset, charset,    [](std::string_view) { return std::nullopt; },
                       out,    err,     "path.bat", full};
  EXPECT_EQ(RunBatch("dir / /b >listing.txt\r\n", context), 1);
  EXPECT_EQ(err.Text(), "There is not enough space on the disk.\n");
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
  temp.Write(
      "path.bat",
      gbk.FromUtf8(Fill("dir \"$/音乐\\*.txt\"    /o:n /B >\"$\\僜\\path.txt\"\r\nexit\r\n", temp.Name())));
  const std::string batch = "/c '" + temp.Name() + "/path.bat'",
                    names = "apple.txt\r\n苹果.txt\r\n香蕉.txt\r\n";
  EXPECT_EQ(Cmd(temp, "LC_ALL=zh_CN.GBK", batch), "0");
  EXPECT_EQ(temp.Read(gbk.FromUtf8("僜/path.txt")), gbk.FromUtf8(names));
  // /U: the listing in UTF-8 (no byte-order mark), the batch file still read and the error stream in GBK.
  temp.Write("path.bat",
             gbk.FromUtf8(Fill("dir \"$/音乐\\*.txt\" /o:n /b\r\ndir \"$/无\" /b\r\n", temp.Name())));
  EXPECT_EQ(Cmd(temp, "LC_ALL=zh_CN.GBK", "/U " + batch), names + gbk.FromUtf8("找不到文件\n") + "1");
}

// A folder read but not searched (r--): entries listed as known, named on the error stream, a failure.
TEST(EndToEnd, UnsearchableFolder) {
  TempFolder temp;
  const std::string folder = temp.Path().string(), locked = folder + "/locked",
                    run = "/c '" + folder + "/path.bat'";
  chmod(folder.c_str(), 0755);
  fs::create_directories(locked + "/sub");
  for (const char* name : {"locked/a.txt", "locked/b.txt", "unreadable.bat"}) temp.Write(name, "");
  chmod(locked.c_str(), 0444);
  chmod((folder + "/unreadable.bat").c_str(), 0);
  const std::string runner = "'" QUERNEL_CMD_UNPRIVILEGED "'";
  if (std::system(("env " + runner + " true 2>'" + folder + "/stderr'").c_str()) != 0)
    GTEST_SKIP() << temp.Read("stderr");

  const std::string named = locked + "/a\\.txt\n" + locked + "/b\\.txt\n" + locked + "/sub\n";
  const std::string blank(39, ' ');
  // The bare format needs no details; sorting by size and /a:r do.
  for (const auto& [switches, locale, result] :
       std::vector<std::tuple<const char*, const char*, std::string>>{
           {"/o:n", "C",
            "\r\n Directory of " + locked + "\r\n\r\n.*<DIR> +\\.\r\n.*<DIR> +\\.\\.\r\n" + blank +
                "a\\.txt\r\n" + blank +
                "b\\.txt\r\n {20}    <DIR> {10}sub\r\n {15}2 File\\(s\\) {14}0 bytes\r\n.*\r\n" + named +
                "Access is denied.\n1"},
           {"/o:n /b", "C", "a\\.txt\r\nb\\.txt\r\nsub\r\n0"},
           {"/o:s /b", "zh_CN", "a\\.txt\r\nb\\.txt\r\nsub\r\n" + named + "拒绝访问。\n1"},
           {"/a:r /b", "C", named + "Access is denied.\n1"}}) {
    temp.Write("path.bat", "dir \"" + locked + "\" " + switches + "\r\nexit\r\n");
    const std::string got = Cmd(temp, "LC_ALL=" + std::string(locale) + ".UTF-8 " + runner, run);
    EXPECT_TRUE(std::regex_match(got, std::regex(result))) << switches << got;
  }
  EXPECT_EQ(Cmd(temp, "LC_ALL=C.UTF-8 " + runner, "/c '" + folder + "/unreadable.bat'"),
            "Access is denied.\n1");
  chmod(locked.c_str(), 0755);
}

}  // namespace
}  // namespace quernel::cmd
