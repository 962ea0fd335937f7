// The output command: the batch file it writes, its steps, and how it fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/listing_options.h"
#include "loaded_window.h"

namespace quernel {
namespace {

using enum ControlId;
using fake::FakeFileSystem;
using ::testing::HasSubstr;
using testing::LoadedWindow;

const Text kNotice(texts::kNotice), kBatch(texts::kBatchFileName), kListing(texts::kListingFileName);

// What the user chooses before 输出: the start state but for the folder.
struct Choices {
  Text folder = "D:\\Docs", pattern = "*.*";
  int type = 0;
  std::optional<ControlId> button = {};
  int sort = 0, way = 0;
  std::vector<ControlId> boxes = {};  // clicked
  bool utf8 = false;                  // else Latin-1
  Text shortFolder = {};              // the folder's short name, if it has one
};

TEST(OutputCommand, WritesTheListingCommandByteForByte) {
  // clang-format off
  const std::pair<Choices, const char*> examples[] = {
      {{}, R"(dir "D:\Docs\*.*"    /o:n /B)"},
      {{.folder = "D:\\Music\\", .pattern = "*.mp3", .type = 2, .button = optH, .way = 2, .boxes = {chkL}},
       R"(dir "D:\Music\*.mp3"  /a:h /o:-n /l /B)"},
      {{.type = 1}, R"(dir "D:\Docs\*.*"  /a  /o:n /B)"},
      {{.folder = "D:\\", .type = 2}, R"(dir "D:\*.*"  /a:  /o:n /B)"},
      {{.folder = "", .pattern = "", .type = 3, .button = optS, .sort = 1, .boxes = {chkW}}, R"(dir "\"  /a:-s /o:s /w)"},
      {{.folder = "E:\\My Files", .pattern = "a b*.doc", .sort = 4, .way = 1, .boxes = {chkT}},
       R"(dir "E:\My Files\a b*.doc"    /o:e)"},
      {{.folder = "D:\\100%", .pattern = "%PATH%.*"}, R"(dir "D:\100%%\%%PATH%%.*"    /o:n /B)"},
      {{.folder = "D:\\Café"}, "dir \"D:\\Caf\xE9\\*.*\"    /o:n /B"},
      {{.folder = "D:\\音乐", .shortFolder = "D:\\YINYUE~1\\"}, R"(dir "D:\YINYUE~1\*.*"    /o:n /B)"},
      {{.folder = "D:\\音乐", .utf8 = true}, R"(dir "D:\音乐\*.*"    /o:n /B)"},
  };
  // clang-format on
  for (const auto& [c, command] : examples) {
    LoadedWindow w;
    w.fake.SimulateInterpreter();
    w.fake.codePage.utf8 = c.utf8;
    if (!c.shortFolder.empty()) w.fake.files.shortPaths[c.folder + "\\"] = c.shortFolder;
    w.ui.UserType(txtPath, c.folder);
    w.ui.UserType(cobFilter, c.pattern);
    w.ui.UserPick(cobType, c.type);
    if (c.button) w.ui.UserClick(*c.button);
    w.ui.UserPick(cobSort, c.sort);
    w.ui.UserPick(cobWay, c.way);
    for (ControlId box : c.boxes) w.ui.UserClick(box);
    w.Output();
    EXPECT_EQ(w.Read(kBatch), command + (" >\"" + w.ui.programFolder + "\\Path.txt\"\r\nexit\r\n"));
    ASSERT_EQ(w.ui.messages.size(), 1u) << command;
    EXPECT_EQ(w.ui.messages[0].prompt, kNotice);
  }
  const std::pair<const char*, const char*> folders[] = {
      {"D:\\Docs", "D:\\Docs\\"},   {"D:\\Docs\\", "D:\\Docs\\"}, {"D:\\", "D:\\"}, {"", "\\"},
      {"D:\\Docs/", "D:\\Docs/\\"}, {"音乐", "音乐\\"},
  };
  for (const auto& [typed, folder] : folders) EXPECT_EQ(FolderWithBackslash(typed), folder) << typed;
}

TEST(OutputCommand, RunsItsStepsInOrderHiddenWithoutDirPresetsAndWaitsBeforeTheNotice) {
  LoadedWindow w;
  w.fake.SimulateInterpreter();
  w.Output();
  const Text batch = w.Path(kBatch), listing = w.Path(kListing);
  EXPECT_THAT(w.fake.journal,
              ::testing::ElementsAre("pointer 11", "remove " + listing, "write " + batch,
                                     "launch 0 \"" + batch + "\"", "wait", "pointer 0",
                                     "message 64 " + kNotice, "launch 1 notepad.exe \"" + listing + "\""));
  EXPECT_EQ(w.ui.launches[0].unsetEnvironment, std::vector<Text>{"DIRCMD"});
  EXPECT_TRUE(w.ui.launches[0].keepErrorOutput);
  EXPECT_FALSE(w.ui.launches[1].keepErrorOutput) << "the viewer's is not read";
  w.ui.UserType(txtPath, "D:\\Two");  // a second run replaces the batch file
  w.fake.journal.clear();
  w.Output();
  EXPECT_THAT(w.Read(kBatch), HasSubstr("D:\\Two\\*.*"));
  EXPECT_EQ(w.fake.journal[1], "remove " + listing);
  EXPECT_EQ(w.ui.launches.size(), 4u);
}

// How the hidden run, the disk and the programs end: a failure is an error
// box and, unless the viewer is what failed, no viewer; the listing stays.
TEST(OutputCommand, ShowsTheListingOnlyWhenItWasMade) {
  enum Fault { None, BatchNotStarted, NothingWritten, ViewerNotStarted };
  const std::string longLine(150, 'x');
  const struct {
    ProcessEnd end;                               // how the interpreter ends
    std::vector<std::string> words, absent = {};  // in the box; none: the notice, and the viewer
    std::uint64_t freeBytes = 1 << 20;
    Fault fault = None;
  } cases[] = {
      // clang-format off
      {{0, ""}, {}},
      {{0, "\r\n  \r\n"}, {}},
      {{0, "找不到文件。\r\n\r\n"}, {"没有完成", "{L}", "\r找不到文件。\r"}, {"退出代码"}},
      {{0, "无效参数。\r\n"}, {"没有完成", "{L}", "无效参数。"}},
      {{1, ""}, {"没有完成", "{L}", "(退出代码 1)"}},
      {{-1, ""}, {"没有完成", "{L}", "(退出代码 -1)"}},
      {{1, "拒绝访问。\n"}, {"没有完成", "{L}", "拒绝访问。\r(退出代码 1)"}},
      {{0, "  one\tline  \r\n\r\ntwo\nthree\n" + longLine + "\nfive\n"}, {"one line\rtwo\rthree\r……"}, {"five", "xxxxx"}},
      {{0, "找" + longLine + "\n"}, {"找" + std::string(99, 'x') + "…\r"}, {std::string(100, 'x')}},
      {{}, {"磁盘已满", "{L}"}, {}, 0},
      {{}, {"磁盘已满"}, {}, 4095},
      {{}, {}, {}, 4096},
      {{}, {"{B}", "找不到文件"}, {}, 1 << 20, BatchNotStarted},
      {{}, {"{L}"}, {}, 1 << 20, NothingWritten},
      {{}, {"{L}", "no viewer"}, {}, 1 << 20, ViewerNotStarted},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words.empty() ? "success" : c.words[0]);
    LoadedWindow w;
    w.fake.SimulateInterpreter("part\r\n", c.end);
    w.fake.files.freeBytes = c.freeBytes;
    if (c.fault == BatchNotStarted) w.ui.onLaunch = [](auto&) { return Launch{nullptr, "找不到文件"}; };
    if (c.fault == NothingWritten) w.ui.onLaunch = nullptr;
    if (c.fault == ViewerNotStarted)
      w.ui.onLaunch = [run = w.ui.onLaunch](const LaunchRequest& request) {
        return request.commandLine.starts_with("notepad") ? Launch{nullptr, "no viewer"} : run(request);
      };
    w.Output();
    const bool shown = c.words.empty() || c.fault == ViewerNotStarted;
    EXPECT_EQ(w.ui.launches.size(), shown ? 2u : 1u);
    EXPECT_EQ(w.Read(kListing), c.fault == BatchNotStarted || c.fault == NothingWritten ? "" : "part\r\n");
    EXPECT_EQ(w.ui.pointer, MousePointer::Default);
    ASSERT_EQ(w.ui.messages.size(), c.fault == ViewerNotStarted ? 2u : 1u);
    const fake::Message& box = w.ui.messages.back();
    EXPECT_EQ(w.ui.messages[0].prompt == kNotice, shown);
    if (c.words.empty()) continue;
    EXPECT_EQ(box.style, MessageStyle::Error);
    for (std::string word : c.words) {
      for (auto [mark, value] : {std::pair{"{B}", w.Path(kBatch)}, {"{L}", w.Path(kListing)}})
        if (auto at = word.find(mark); at != Text::npos) word.replace(at, 3, value);
      EXPECT_THAT(box.prompt, HasSubstr(word));
    }
    for (const std::string& text : c.absent) EXPECT_THAT(box.prompt, ::testing::Not(HasSubstr(text)));
  }
}

// Refusals: one error box, nothing run, the last listing kept unless removing
// it is what failed.
TEST(OutputCommand, RefusesWhatCannotBeWrittenSafely) {
  enum Reach { TouchesNothing, Removes, TriesToWrite };
  namespace fs = std::filesystem;
  const auto host = [](const LoadedWindow& w, const Text& name) {
    return FakeFileSystem::HostPath(w.Path(name));
  };
  // clang-format off
  const struct {
    Text folder, pattern;
    std::vector<Text> words;  // in the box; {B}: the batch file, {L}: the listing, {W}: the user's folder
    std::function<void(LoadedWindow&)> arrange = nullptr;
    Reach reach = TouchesNothing;
  } cases[] = {
      {"D:\\a\"b", "*.*", {"“文件夹”"}},
      {"D:\\Docs\r\ndel *.*", "*.*", {"“文件夹”"}},
      {"D:\\Docs\t", "*.*", {"“文件夹”"}},
      {"D:\\", "*.txt\" & del \"*", {"“后缀过滤”"}},
      {"D:\\", "*.txt\n", {"“后缀过滤”"}},
      {"D:\\", std::string("*\0.txt", 6), {"“后缀过滤”"}},
      {"D:\\音乐", "*.*", {"“音”", "28591"}},
      {"D:\\", "歌*.mp3", {"“后缀过滤”中的字符“歌”"}},
      {"D:\\", "*.*", {"28591"}, [](auto& w) { w.fake.codePage.refusedWhenContaining = "\r\nexit"; }},
      {"D:\\", "*.*", {"{W}\\path.bat", "Permission denied"}, [](auto& w) {
         ASSERT_TRUE(w.fake.files.WriteNewFile(w.Path(kBatch), "stale").ok);
         w.fake.files.readOnlyFolders = {w.ui.programFolder, w.ui.userWorkFolder};
       }, TriesToWrite},
      {"D:\\", "*.*", {"{L}", "Is a directory"}, [&](auto& w) {
         fs::remove(host(w, kListing));
         fs::create_directories(host(w, kListing));
       }, Removes},
      {"D:\\", "*.*", {"{B}", "不是普通文件"}, [&](auto& w) {
         fs::create_symlink(FakeFileSystem::HostPath(w.fake.Root() + "\\precious.txt"), host(w, kBatch));
       }, TriesToWrite},
      {"D:\\", "*.*", {"工作文件夹", "a\"b"}, [](auto& w) {
         w.fake.files.readOnlyFolders = {w.ui.programFolder};
         w.ui.userWorkFolder = w.fake.Root() + "\\a\"b";
       }},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words[0]);
    LoadedWindow w;
    w.fake.SimulateInterpreter();
    const Text precious = w.fake.Root() + "\\precious.txt";
    ASSERT_TRUE(w.fake.files.WriteNewFile(precious, "keep me").ok);
    ASSERT_TRUE(w.fake.files.WriteNewFile(w.Path(kListing), "the last listing").ok);
    w.ui.UserType(txtPath, c.folder);
    w.ui.UserType(cobFilter, c.pattern);
    if (c.arrange) c.arrange(w);
    w.fake.journal.clear();
    w.Output();
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(w.ui.messages[0].style, MessageStyle::Error);
    for (Text word : c.words) {
      for (auto [mark, value] :
           {std::pair{"{B}", w.Path(kBatch)}, {"{L}", w.Path(kListing)}, {"{W}", w.ui.userWorkFolder}})
        if (auto at = word.find(mark); at != Text::npos) word.replace(at, 3, value);
      EXPECT_THAT(w.ui.messages[0].prompt, HasSubstr(word));
    }
    EXPECT_TRUE(w.ui.launches.empty()) << "a stale batch file is never run";
    EXPECT_EQ(w.ui.pointer, MousePointer::Default);
    EXPECT_EQ(FakeFileSystem::ReadBytes(precious), "keep me");
    for (const Text& line : w.fake.journal) {
      EXPECT_FALSE(c.reach != TriesToWrite && (line.starts_with("write") || line.starts_with("make")))
          << line;
      EXPECT_FALSE(c.reach == TouchesNothing && line.starts_with("remove")) << line;
    }
    EXPECT_TRUE(c.reach != TouchesNothing || w.Read(kListing) == "the last listing");
  }
}

// A program folder that is read-only or whose name cannot be run sends the
// work to the user's folder; Unload removes the batch file there.
TEST(OutputCommand, ProgramFolderThatCannotBeUsedSendsTheWorkToTheUsersFolder) {
  for (const char* name : {"", "x\"", "x\"\r\ndir", "tab\there"}) {
    LoadedWindow w;
    w.fake.SimulateInterpreter();
    if (*name) w.ui.programFolder = w.fake.Root() + "\\" + name;
    ASSERT_TRUE(w.fake.files.MakeFolders(w.ui.programFolder).ok);
    if (!*name) w.fake.files.readOnlyFolders = {w.ui.programFolder};
    const Text work = w.ui.userWorkFolder;
    w.Output();
    EXPECT_EQ(FakeFileSystem::ReadBytes(work + kBatch),
              "dir \"\\*.*\"    /o:n /B >\"" + work + "\\Path.txt\"\r\nexit\r\n");
    EXPECT_FALSE(w.fake.files.FileExists(w.Path(kBatch))) << name;
    ASSERT_EQ(w.ui.launches.size(), 2u) << name;
    EXPECT_EQ(w.ui.launches[0].commandLine, "\"" + work + kBatch + "\"");
    EXPECT_EQ(w.ui.launches[1].commandLine, "notepad.exe \"" + work + kListing + "\"");
    w.form.Unload();
    EXPECT_FALSE(w.fake.files.FileExists(work + kBatch));
    EXPECT_TRUE(w.fake.files.FileExists(work + kListing));
  }
}

}  // namespace
}  // namespace quernel
