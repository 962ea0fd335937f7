// frmMain on the fake platform: start-up, the handlers, the output command, a
// folder from outside, and the session from start to exit.

#include "core/frm_main.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "design/program_texts.h"
#include "platform/fake/fake_platform.h"
#include "support/test_support.h"

namespace quernel {
namespace {

using enum ControlId;
using fake::FakeFileSystem;
using fake::FakeWindowRuntime;
using ::testing::HasSubstr;

const Text kNotice(texts::kNotice), kBatch(texts::kBatchFileName), kListing(texts::kListingFileName);

// A main window as the user sees it right after start, the journal cleared.
struct LoadedWindow {
  explicit LoadedWindow(StartUp startUp = {}) : form(fake.Services(), std::move(startUp)) {
    EXPECT_TRUE(ui.CreateForm(form));
    form.Load();
    ui.ShowForm();
    fake.journal.clear();
  }
  Text Path(std::string_view name) const { return ui.programFolder + Text(name); }  // beside the program
  Text Read(std::string_view name) const { return FakeFileSystem::ReadBytes(Path(name)); }
  void Output() { ui.UserClick(cmdOut); }

  fake::FakePlatform fake;
  FakeWindowRuntime& ui = fake.window;
  frmMain form;
};

constexpr ControlId kAttributeButtons[] = {optD, optR, optS, optH, optA};

TEST(StartUp, ListsShowTheirFirstEntriesNineFontPointsAndTheFocusOnOutput) {
  LoadedWindow w;
  const std::pair<ControlId, std::vector<Text>> lists[] = {
      {cobFilter, {"*.*", "*.txt", "*.mp3", "*.htm", "*.exe", "*.avi"}},
      {cobType, {"默认", "全部显示", "显示指定项", "不显示指定项"}},
      {cobSort, {"名称", "大小", "日期", "组别", "扩展名"}},
      {cobWay, {"", "顺序", "逆序"}}};
  for (const auto& [list, items] : lists) {
    EXPECT_EQ(w.ui.State(list).items, items);
    EXPECT_EQ(w.ui.GetListIndex(list), 0);
    EXPECT_EQ(w.ui.GetText(list), items[0]);
  }
  for (ControlId button : kAttributeButtons) EXPECT_FALSE(w.ui.IsEnabled(button) || w.ui.GetValue(button));
  EXPECT_EQ(w.ui.GetValue(chkT) * 100 + w.ui.GetValue(chkL) * 10 + w.ui.GetValue(chkW), 100);
  EXPECT_TRUE(w.ui.GetText(txtPath).empty() && w.ui.focus == cmdOut);
  std::string fonts;  // all but the lines get nine points, in Load's order
  for (auto [id, points] : w.ui.fontSizes) fonts += std::string(NameOf(id)) + (points == 9.0 ? " " : "? ");
  EXPECT_EQ(
      fonts,
      "cobFilter cobType cobSort cobWay txtPath Frame2 Frame1 Label1 Label2 Label3 Label4 Label5 Label6 "
      "cmdBrowse cmdAbout cmdHelp cmdOut cmdExit optA optD optH optR optS chkL chkT chkW ");
}

// One window through picks and clicks, 输出 after each: the command's switches
// and whether the attribute buttons may be used. The style boxes exclude each
// other but may both be unchecked; a greyed box counts as unchecked.
TEST(Handlers, SetTheSwitchesOfTheListingCommand) {
  const struct {
    ControlId control;
    int value;  // a list's pick, a greyed box's value; -1: the user clicks it
    const char* switches;
    bool buttonsEnabled = false;
  } steps[] = {
      // clang-format off
      {cobType, 2, "  /a:  /o:n /B", true}, {optH, -1, "  /a:h /o:n /B", true}, {cobType, 3, "  /a:-h /o:n /B", true},
      {cobType, 1, "  /a  /o:n /B"}, {cobType, 2, "  /a:  /o:n /B", true}, {optD, -1, "  /a:d /o:n /B", true},
      {optR, -1, "  /a:r /o:n /B", true}, {optS, -1, "  /a:s /o:n /B", true}, {optA, -1, "  /a:a /o:n /B", true},
      {optH, -1, "  /a:h /o:n /B", true}, {cobType, 0, "    /o:n /B"}, {cobSort, 1, "    /o:s /B"},
      {cobSort, 2, "    /o:d /B"}, {cobWay, 2, "    /o:-d /B"}, {cobSort, 3, "    /o:-g /B"},
      {cobWay, 0, "    /o:g /B"}, {cobSort, 4, "    /o:e /B"}, {cobWay, 2, "    /o:-e /B"},
      {cobWay, 1, "    /o:e /B"}, {cobSort, 0, "    /o:n /B"}, {chkW, -1, "    /o:n /w"},
      {chkT, -1, "    /o:n /B"}, {chkT, -1, "    /o:n"}, {chkW, -1, "    /o:n /w"}, {chkW, -1, "    /o:n"},
      {chkT, -1, "    /o:n /B"}, {chkL, -1, "    /o:n /l /B"}, {chkL, 2, "    /o:n /B"},
      // clang-format on
  };
  LoadedWindow w;
  w.fake.SimulateInterpreter();
  for (const auto& s : steps) {
    s.value < 0         ? w.ui.UserClick(s.control)
    : s.control == chkL ? w.ui.SetValue(chkL, s.value)
                        : w.ui.UserPick(s.control, s.value);
    w.Output();
    EXPECT_EQ(w.Read(kBatch),
              "dir \"\\*.*\"" + (s.switches + (" >\"" + w.ui.programFolder + "\\Path.txt\"\r\nexit\r\n")));
    for (ControlId button : kAttributeButtons)
      EXPECT_EQ(w.ui.IsEnabled(button), s.buttonsEnabled) << s.switches;
  }
  EXPECT_EQ(w.ui.GetValue(optH), 1) << "disabling keeps the selection";
}

TEST(ShellServices, BrowseAboutAndHelpAskTheShellOwnedByTheWindow) {
  // Before, the shell's answer, after: a drive's root is kept as given, the
  // buffer's zeros are cut, a cancel keeps the field.
  const std::tuple<const char*, std::string, const char*> picks[] = {
      // clang-format off
      {"", "D:\\Music", "D:\\Music"}, {"C:\\Old", "D:\\音乐", "D:\\音乐"}, {"", "D:\\", "D:\\"},
      {"", std::string("D:\\Music\0\0\0", 11), "D:\\Music"}, {"C:\\Kept", "", "C:\\Kept"}};
  // clang-format on
  for (const auto& [before, answer, after] : picks) {
    LoadedWindow w;
    w.ui.UserType(txtPath, before);
    w.fake.shell.folderAnswer = answer;
    w.ui.UserClick(cmdBrowse);
    EXPECT_EQ(w.ui.GetText(txtPath), after) << answer;
    EXPECT_EQ(w.fake.shell.pickerRequests, std::vector{Text(texts::kFolderPrompt)});
  }
  LoadedWindow w;
  w.ui.UserClick(cmdAbout);
  EXPECT_EQ(w.fake.shell.aboutBoxes,
            (std::vector{std::pair{Text("Quernel"), Text("(C) 2026 Quernel 作者\r")}}));
  w.ui.UserClick(cmdHelp);
  w.ui.UserClick(cmdHelp);
  ASSERT_EQ(w.ui.launches.size(), 2u);
  EXPECT_EQ(w.ui.launches[1].commandLine, "explorer.exe \"" + w.Path(texts::kHelpFileName) + "\"");
  EXPECT_TRUE(w.ui.launches[0].commandLine == w.ui.launches[1].commandLine &&
              w.ui.launches[0].style == WindowStyle::NormalWithFocus);
  EXPECT_TRUE(w.ui.messages.empty()) << "a missing page is the file manager's business";
  w.ui.onLaunch = [](const LaunchRequest&) { return Launch{nullptr, "not found"}; };
  w.ui.UserClick(cmdHelp);
  ASSERT_EQ(w.ui.messages.size(), 1u);
  EXPECT_EQ(w.ui.messages[0].style, MessageStyle::Error);
  EXPECT_NE(w.ui.messages[0].prompt.find(w.Path(texts::kHelpFileName)), Text::npos);
}

// The first folder named, else the first file's folder, relative to the
// current folder; from the command line a path that names nothing is kept as
// given (made absolute). {R} holds 说明.txt and the folders 下载 and
// "音乐 2024" (with 歌.mp3).
TEST(ArrivingFolder, FillsTheFolderFieldAndNothingElse) {
  using enum PathSource;
  const struct {
    PathSource source;
    std::vector<Text> paths;
    Text currentFolder;
    Text field;  // afterwards; empty: as without the paths
  } cases[] = {
      // clang-format off
      {CommandLine, {}, "{R}", ""}, {CommandLine, {"{R}/音乐 2024"}, "/", "{R}/音乐 2024"},
      {CommandLine, {"{R}/音乐 2024/歌.mp3"}, "/", "{R}/音乐 2024"}, {CommandLine, {"音乐 2024"}, "{R}", "{R}/音乐 2024"},
      {CommandLine, {"./下载/../音乐 2024/歌.mp3"}, "{R}/", "{R}/音乐 2024"},
      {CommandLine, {"."}, "{R}/音乐 2024", "{R}/音乐 2024"},
      {CommandLine, {"{R}/没有", "{R}/说明.txt", "{R}/下载", "{R}/音乐 2024"}, "/", "{R}/下载"},
      {CommandLine, {"{R}/音乐 2024/歌.mp3", "{R}/说明.txt"}, "/", "{R}/音乐 2024"},
      {CommandLine, {"", "下载"}, "{R}", "{R}/下载"}, {CommandLine, {"D:\\音乐\\2024"}, "{R}", "D:\\音乐\\2024"},
      {CommandLine, {"x:\\a", "x:\\b"}, "{R}", "x:\\a"}, {CommandLine, {"\\音乐"}, "C:\\Users", "C:\\音乐"},
      {CommandLine, {"新建 文件夹\\"}, "C:\\Users\\李", "C:\\Users\\李\\新建 文件夹"},
      {CommandLine, {"..\\..\\..\\x"}, "C:\\a", "C:\\x"}, {Drop, {"{R}/下载"}, "/", "{R}/下载"},
      {Drop, {"{R}/说明.txt"}, "/", "{R}"}, {Drop, {"{R}/说明.txt", "{R}/音乐 2024"}, "/", "{R}/音乐 2024"},
      {Drop, {"{R}/没有", "D:\\音乐"}, "/", ""},
      // clang-format on
  };
  testing::TempFolder data;
  data.Write("音乐 2024/歌.mp3", "mp3");
  data.Write("说明.txt", "text");
  std::filesystem::create_directories(data.Path() / "下载");
  auto withRoot = [&](Text text) {
    if (auto at = text.find("{R}"); at != Text::npos) text.replace(at, 3, data.Name());
    return text;
  };
  for (const auto& c : cases) {
    std::vector<Text> paths;
    for (const Text& path : c.paths) paths.push_back(withRoot(path));
    SCOPED_TRACE(::testing::PrintToString(paths));
    LoadedWindow plain, w({c.source == Drop ? std::vector<Text>{} : paths, withRoot(c.currentFolder)});
    if (c.source == Drop) {
      w.ui.UserType(txtPath, "D:\\旧");
      EXPECT_EQ(w.form.CanDrop(paths), !c.field.empty()) << "the pointer shows whether it is welcome";
      w.form.Drop(paths);
    }
    EXPECT_EQ(w.ui.GetText(txtPath), !c.field.empty() ? withRoot(c.field) : c.source == Drop ? "D:\\旧" : "");
    for (const ControlDesign& d : ControlDesigns())
      EXPECT_TRUE(d.id == txtPath || w.ui.State(d.id) == plain.ui.State(d.id)) << d.name;
    EXPECT_EQ(w.ui.fontSizes, plain.ui.fontSizes);
    EXPECT_EQ(w.form.Options(), plain.form.Options());
    EXPECT_EQ(w.ui.focus, cmdOut);
    EXPECT_TRUE(w.ui.messages.empty());
  }
}

// Exit, the close box (the session just ends) and Esc alike: the batch file
// goes, the listing stays, nothing is said. A window that cannot be made is
// reported and ends the program with a failure.
TEST(Session, EndsByRemovingTheBatchFileAndKeepingTheListing) {
  for (const bool byExit : {true, false}) {
    fake::FakePlatform fake;
    fake.SimulateInterpreter();
    fake.window.userSession = [byExit](FakeWindowRuntime& window) {
      window.UserClick(cmdOut);
      if (byExit) window.UserClick(cmdExit);
    };
    EXPECT_EQ(RunQuernel(fake.Services()), 0);
    EXPECT_TRUE(fake.window.focus && std::ranges::count(fake.journal, Text("close")) == byExit) << "shown";
    EXPECT_EQ(fake.window.messages.size(), 1u) << "the notice alone";
    EXPECT_TRUE(!fake.files.FileExists(fake.window.programFolder + kBatch) &&
                fake.files.FileExists(fake.window.programFolder + kListing));
  }
  // While another window makes its listing there, the batch file stays.
  fake::FakePlatform busy;
  busy.SimulateInterpreter();
  busy.window.userSession = [&busy](FakeWindowRuntime& window) {
    window.UserClick(cmdOut);
    busy.window.lockedElsewhere = {window.programFolder};
  };
  RunQuernel(busy.Services());
  EXPECT_TRUE(busy.files.FileExists(busy.window.programFolder + kBatch));
  fake::FakePlatform fake;
  fake.window.createFailure = "Not enough memory resources are available to process this command.";
  EXPECT_TRUE(RunQuernel(fake.Services()) != 0 && !fake.window.focus) << "a failure, never shown";
  ASSERT_EQ(fake.window.messages.size(), 1u);
  EXPECT_EQ(fake.window.messages[0].style, MessageStyle::Error);
  EXPECT_NE(fake.window.messages[0].prompt.find("Not enough memory"), Text::npos);
}

// 输出 with the start state, then again with other folders and patterns: each
// run removes the last listing, replaces the batch file, runs it hidden
// without dir's presets, waits, and only then says so and opens the listing.
TEST(OutputCommand, WritesTheFolderAndPatternQuotedInTheCodePageAndRunsTheBatchFileHidden) {
  LoadedWindow w;
  w.fake.SimulateInterpreter();
  const Text batch = w.Path(kBatch), listing = w.Path(kListing), inCommand = w.Path("\\Path.txt");
  w.Output();
  EXPECT_THAT(
      w.fake.journal,
      ::testing::ElementsAre("pointer 11", "lock " + w.ui.programFolder + " 30000", "remove " + listing,
                             "remove " + inCommand, "write " + batch, "launch 0 \"" + batch + "\"", "wait",
                             "pointer 0", "message 64 " + kNotice, "launch 1 notepad.exe \"" + listing + "\"",
                             "unlock " + w.ui.programFolder));
  EXPECT_EQ(w.ui.launches[0].unsetEnvironment, std::vector<Text>{"DIRCMD"});
  EXPECT_TRUE(w.ui.launches[0].keepErrorOutput);
  EXPECT_EQ(w.ui.launches[0].unicodeListing, listing) << "every name kept";
  EXPECT_FALSE(w.ui.launches[1].keepErrorOutput) << "the viewer's is not read";
  // What the code page (Latin-1, or UTF-8) cannot hold reaches cmd as the run's variables; the
  // batch file then names those alone, and the values are the text as typed.
  const Text byVariables =
      R"(dir "%QUERNEL_FOLDER%%QUERNEL_PATTERN%"    /o:n /B >"%QUERNEL_WORK_FOLDER%\Path.txt")";
  const struct {
    Text folder, pattern;
    const char* quoted;  // nullptr: by variables
    bool utf8 = false;
    Text programFolder = "";  // another than the fake's
  } examples[] = {
      // clang-format off
      {"D:\\Docs", "*.*", R"(D:\Docs\*.*)"}, {"D:\\Music\\", "*.mp3", R"(D:\Music\*.mp3)"}, {"", "", R"(\)"},
      {"D:\\", "*.txt", R"(D:\*.txt)"}, {"D:\\Docs/", "*.*", R"(D:\Docs/\*.*)"},
      {"E:\\My Files", "a b*.doc", R"(E:\My Files\a b*.doc)"}, {"D:\\100%", "%PATH%.*", R"(D:\100%%\%%PATH%%.*)"},
      {"D:\\Café", "*.*", "D:\\Caf\xE9\\*.*"}, {"D:\\음악 🎵", "*.*", R"(D:\음악 🎵\*.*)", true},
      {"D:\\음악 🎵", "*.*", nullptr}, {"D:\\100% 歌", "*.mp3", nullptr}, {"D:\\Docs", "歌*.mp3", nullptr},
      {"D:\\Docs", "*.*", nullptr, false, "/程序"},
      // clang-format on
  };
  for (const auto& c : examples) {
    w.fake.codePage.utf8 = c.utf8;
    const Text work = c.programFolder.empty() ? w.ui.programFolder : w.fake.Root() + c.programFolder;
    w.ui.programFolder = work;
    EXPECT_TRUE(w.fake.files.MakeFolders(work));
    w.ui.UserType(txtPath, c.folder);
    w.ui.UserType(cobFilter, c.pattern);
    w.fake.journal.clear();
    w.Output();
    const Text written = FakeFileSystem::ReadBytes(work + kBatch);
    const auto& environment = w.ui.launches[w.ui.launches.size() - 2].setEnvironment;
    if (c.quoted) {
      EXPECT_EQ(written, "dir \"" + (c.quoted + ("\"    /o:n /B >\"" + work + "\\Path.txt\"\r\nexit\r\n")));
      EXPECT_TRUE(environment.empty());
    } else {
      EXPECT_EQ(written, byVariables + "\r\nexit\r\n");
      EXPECT_EQ(environment,
                (std::vector<std::pair<Text, Text>>{{"QUERNEL_FOLDER", FolderWithBackslash(c.folder)},
                                                    {"QUERNEL_PATTERN", c.pattern},
                                                    {"QUERNEL_WORK_FOLDER", work}}));
    }
    EXPECT_EQ(w.fake.journal[2], "remove " + work + kListing);
    EXPECT_EQ(w.ui.messages.back().prompt, kNotice);
  }
  EXPECT_EQ(w.ui.launches.size(), 2 * std::size(examples) + 2) << "every run starts the viewer";
}

// 输出 in every way it can end. A refusal is one error box and runs nothing; a
// run that fails (the interpreter's words or exit code, a full disk, no
// listing) gives an error box instead of the notice, no viewer; the listing stays.
TEST(OutputCommand, ShowsTheListingOnlyWhenItWasMadeAndRunsNothingItCannotWriteSafely) {
  enum Reach { Nothing, Removes, Writes, RunsWithoutListing, Runs, Views };  // how far it gets
  namespace fs = std::filesystem;
  const std::string longLine(150, 'x');
  // clang-format off
  const auto host = [](const LoadedWindow& w, const Text& name) { return FakeFileSystem::HostPath(w.Path(name)); };
  const auto ends = [](ProcessEnd end) { return [end](LoadedWindow& w) { w.fake.SimulateInterpreter("part\r\n", end); }; };
  const struct {
    std::function<void(LoadedWindow&)> arrange;
    std::vector<std::string> words, absent = {};  // in the last box, {B}: the batch file, {L}: the listing,
    Reach reach = Runs;                           // {W}: the user's folder; no words: the notice
    bool information = false;                     // an information box with the words
  } cases[] = {
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\a\"b"); }, {"“文件夹”"}, {}, Nothing},
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\Docs\r\ndel *.*"); }, {"“文件夹”"}, {}, Nothing},
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\Docs\t"); }, {"“文件夹”"}, {}, Nothing},
      {[](auto& w) { w.ui.UserType(cobFilter, "*.txt\" & del \"*"); }, {"“后缀过滤”"}, {}, Nothing},
      {[](auto& w) { w.ui.UserType(cobFilter, "*.txt\n"); }, {"“后缀过滤”"}, {}, Nothing},
      {[](auto& w) { w.ui.UserType(cobFilter, std::string("*\0.txt", 6)); }, {"“后缀过滤”"}, {}, Nothing},
      {[](auto& w) { w.fake.codePage.refusedWhenContaining = "\r\nexit"; }, {"28591"}, {}, Nothing},
      {[](auto& w) { EXPECT_TRUE(w.fake.files.WriteNewFile(w.Path(kBatch), "stale"));
                     w.fake.files.readOnlyFolders = {w.ui.programFolder, w.ui.userWorkFolder}; },
       {"{W}\\path.bat", "Permission denied"}, {}, Writes},
      {[&](auto& w) { fs::remove(host(w, kListing)), fs::create_directories(host(w, kListing)); },
       {"{L}", "Is a directory"}, {}, Removes},
      {[&](auto& w) { fs::create_symlink(FakeFileSystem::HostPath(w.fake.Root() + "/precious"), host(w, kBatch)); }, {}},
      {[&](auto& w) { fs::create_hard_link(FakeFileSystem::HostPath(w.fake.Root() + "/precious"), host(w, kBatch)); }, {}},
      {[&](auto& w) { fs::create_directories(host(w, kBatch)); }, {"{B}", "不是普通文件"}, {}, Writes},
      {[](auto& w) { w.fake.files.readOnlyFolders = {w.ui.programFolder};
                     w.ui.userWorkFolder = w.fake.Root() + "\\a\"b"; }, {"工作文件夹", "a\"b"}, {}, Nothing},
      {ends({0, ""}), {}},
      {ends({0, "\r\n  \r\n"}), {}},
      {ends({0, "找不到文件。\r\n\r\n"}), {"没有与“*.*”相符的文件:\r\\\r"}, {"没有完成", "退出代码"}, Runs, true},
      {ends({1, "找不到文件\r\n"}), {"没有与“*.*”相符的文件"}, {}, Runs, true},
      {ends({1, " File Not Found\r\n"}), {"没有与“*.*”相符的文件"}, {}, Runs, true},
      {ends({2, "找不到文件\r\n"}), {"没有完成", "找不到文件\r(退出代码 2)"}},
      {ends({0, "找不到文件。\r\n拒绝访问。\r\n"}), {"没有完成", "找不到文件。\r拒绝访问。"}},
      {[](auto& w) { w.ui.UserType(txtPath, w.fake.Root() + "/没有");
                     w.fake.SimulateInterpreter("", {0, "找不到文件。\r\n"}); },
       {"找不到要列出的文件夹", "/没有\\\r"}, {"没有完成"}, RunsWithoutListing},
      {ends({0, "", "The listing is cut short."}), {"UTF-8", "The listing is cut short.", "{L}"}},
      {ends({0, "无效参数。\r\n"}), {"没有完成", "{L}", "无效参数。"}},
      {ends({1, ""}), {"没有完成", "{L}", "(退出代码 1)"}},
      {ends({-1, ""}), {"没有完成", "{L}", "(退出代码 -1)"}},
      {ends({1, "拒绝访问。\n"}), {"没有完成", "{L}", "拒绝访问。\r(退出代码 1)"}},
      {ends({0, "  one\tline  \r\n\r\ntwo\nthree\n" + longLine + "\nfive\n"}), {"one line\rtwo\rthree\r……"}, {"five", "xxxxx"}},
      {ends({0, "找" + longLine + "\n"}), {"找" + std::string(99, 'x') + "…\r"}, {std::string(100, 'x')}},
      {[](auto& w) { w.ui.lockedElsewhere = {w.ui.programFolder}; }, {"另一个 Quernel 窗口", "program\r"}, {}, Nothing},
      {[](auto& w) { w.ui.stopTries = 1, w.ui.answer = true; }, {"已停止", "{L}"}, {"没有完成"}, Runs, true},
      {[](auto& w) { w.ui.stopTries = 2; }, {}},  // the user goes on waiting
      {[](auto& w) { w.fake.files.freeBytes = 0; }, {"磁盘已满", "{L}"}},
      {[](auto& w) { w.fake.files.freeBytes = 4095; }, {"磁盘已满"}},
      {[](auto& w) { w.fake.files.freeBytes = 4096; }, {}},
      {[](auto& w) { w.ui.onLaunch = [](auto&) { return Launch{nullptr, "找不到文件"}; }; }, {"{B}", "找不到文件"}, {},
       RunsWithoutListing},
      {[&](auto& w) { w.ui.onLaunch = nullptr;  // and an old "Path.txt" beside "path.txt", where case counts
                      testing::WriteBytes(host(w, "\\Path.txt").parent_path() / "Path.txt", "older"); },
       {"{L}"}, {}, RunsWithoutListing},
      {[](auto& w) { w.ui.onLaunch = [run = w.ui.onLaunch](const LaunchRequest& request) {
         return request.commandLine.starts_with("notepad") ? Launch{nullptr, "no viewer"} : run(request); }; },
       {"{L}", "no viewer"}, {}, Views},
      // clang-format on
  };
  for (const auto& c : cases) {
    LoadedWindow w;
    w.fake.SimulateInterpreter("part\r\n");
    EXPECT_TRUE(w.fake.files.WriteNewFile(w.fake.Root() + "/precious", "keep me"));
    EXPECT_TRUE(w.fake.files.WriteNewFile(w.Path(kListing), "the last listing"));
    c.arrange(w);
    w.fake.journal.clear();
    w.Output();
    const std::size_t launches = c.reach <= Writes ? 0 : c.words.empty() || c.reach == Views ? 2 : 1;
    EXPECT_EQ(w.ui.launches.size(), launches) << (c.words.empty() ? "" : c.words.back());
    const char* listing[] = {"the last listing", nullptr, nullptr, "", "part\r\n", "part\r\n"};  // by reach
    EXPECT_TRUE(!listing[c.reach] || w.Read(kListing) == listing[c.reach]) << w.Read(kListing);
    EXPECT_EQ(w.ui.pointer, MousePointer::Default);
    EXPECT_EQ(FakeFileSystem::ReadBytes(w.fake.Root() + "/precious"), "keep me");
    for (const Text& line : w.fake.journal)  // nothing beyond its reach; a stale batch file is never run
      EXPECT_FALSE((c.reach < Writes && (line.starts_with("write") || line.starts_with("make"))) ||
                   (c.reach == Nothing && line.starts_with("remove")))
          << line;
    ASSERT_EQ(w.ui.messages.size(), c.reach == Views ? 2u : 1u);
    EXPECT_EQ(w.ui.messages[0].prompt == kNotice, launches == 2);
    const fake::Message& box = w.ui.messages.back();
    EXPECT_EQ(box.style, c.words.empty() || c.information ? MessageStyle::Information : MessageStyle::Error);
    for (Text word : c.words) {
      for (auto [mark, value] :
           {std::pair{"{B}", w.Path(kBatch)}, {"{L}", w.Path(kListing)}, {"{W}", w.ui.userWorkFolder}})
        if (auto at = word.find(mark); at != Text::npos) word.replace(at, 3, value);
      EXPECT_THAT(box.prompt, HasSubstr(word));
    }
    for (const std::string& text : c.absent) EXPECT_THAT(box.prompt, ::testing::Not(HasSubstr(text)));
  }
}

// A name in a box reads as written, on its own line: what would break the lines or turn the
// reading order shows as its code, a long path is cut in the middle, and the box stays short.
TEST(OutputCommand, BoxesShowNamesAndWordsOnAFewLinesInTheirOwnOrder) {
  const Text longName = "长" + std::string(1000, 'x') + "尾.txt";
  constexpr int kWords = 1, kFolder = 2;  // the boxes that show it
  const std::tuple<Text, Text, int> names[] = {
      // clang-format off
      {"报告\u2029.txt", "报告<U+2029>.txt", kWords | kFolder}, {"a\u2028\u2028b", "a<U+2028><U+2028>b", kWords | kFolder},
      {"a\u0085b", "a<U+0085>b", kWords | kFolder}, {"c-\u202Etxt.exe", "c-<U+202E>txt.exe", kWords | kFolder},
      {"\u200E\u200F\u061C\u202A\u2066\u2069x", "<U+200E><U+200F><U+061C><U+202A><U+2066><U+2069>x", kWords | kFolder},
      {"a\x1B[2Jb\x7F", "a<U+001B>[2Jb<U+007F>", kWords},  // no folder holds a control character
      {longName, "\\长" + std::string(145, 'x') + "…" + std::string(144, 'x') + "尾.txt", kFolder},
      // clang-format on
  };
  for (const auto& [name, shown, boxes] : names) {
    LoadedWindow w;
    w.fake.SimulateInterpreter("", {0, "“" + name + "”拒绝访问。\r\n"});
    w.Output();  // the interpreter's words
    w.ui.UserType(txtPath, "D:\\" + name);
    w.Output();  // a folder that is not there
    ASSERT_EQ(w.ui.messages.size(), 2u);
    for (int box : {kWords, kFolder}) {
      const Text& prompt = w.ui.messages[static_cast<std::size_t>(box - 1)].prompt;
      EXPECT_EQ(prompt.find(shown) != Text::npos, (boxes & box) != 0) << prompt;
      EXPECT_LE(std::ranges::count(prompt, '\r'), 8) << prompt;
      for (std::size_t start = 0, end; start < prompt.size(); start = end + 1) {
        end = std::min(prompt.find('\r', start), prompt.size());
        EXPECT_LE(end - start, 3 * 320u) << "bytes of a line";
      }
    }
  }
}

// A program folder that belongs to an installation, is read-only, is on a full disk or whose name
// cannot be run sends the work to the user's folder; Unload removes the batch file there.
TEST(OutputCommand, ProgramFolderThatCannotBeUsedSendsTheWorkToTheUsersFolder) {
  for (const char* name : {"installed", "read-only", "full", "x\"", "x\"\r\ndir", "tab\there"}) {
    LoadedWindow w;
    w.fake.SimulateInterpreter();
    w.ui.installed = name == std::string_view("installed");
    const bool unusable =
        w.ui.installed || name == std::string_view("read-only") || name == std::string_view("full");
    if (!unusable) w.ui.programFolder = w.fake.Root() + "\\" + name;
    ASSERT_TRUE(w.fake.files.MakeFolders(w.ui.programFolder));
    const Text host = FakeFileSystem::HostPath(w.ui.programFolder).string();
    if (unusable && !w.ui.installed)
      (name[0] == 'f' ? w.fake.files.fullFolders : w.fake.files.readOnlyFolders) = {host};
    const Text work = w.ui.userWorkFolder;
    w.Output();
    EXPECT_EQ(FakeFileSystem::ReadBytes(work + kBatch),
              "dir \"\\*.*\"    /o:n /B >\"" + work + "\\Path.txt\"\r\nexit\r\n");
    EXPECT_FALSE(w.fake.files.FileExists(w.Path(kBatch))) << name;
    ASSERT_EQ(w.ui.launches.size(), 2u) << name;
    EXPECT_EQ(w.ui.launches[1].commandLine, "notepad.exe \"" + work + kListing + "\"");
    w.form.Unload();
    EXPECT_FALSE(w.fake.files.FileExists(work + kBatch));
    EXPECT_TRUE(w.fake.files.FileExists(work + kListing));
  }
  // A user's folder that cannot be made is said to be so, with the system's reason.
  LoadedWindow w;
  w.fake.files.readOnlyFolders = {FakeFileSystem::HostPath(w.ui.programFolder).string()};
  EXPECT_TRUE(w.fake.files.WriteNewFile(w.fake.Root() + "/a file", ""));
  w.ui.userWorkFolder = w.fake.Root() + "/a file/quernel";
  w.Output();
  ASSERT_EQ(w.ui.messages.size(), 1u);
  EXPECT_THAT(w.ui.messages[0].prompt, HasSubstr("无法建立工作文件夹:\r" + w.ui.userWorkFolder + "\r\r"));
  EXPECT_TRUE(w.ui.launches.empty());
}

}  // namespace
}  // namespace quernel
