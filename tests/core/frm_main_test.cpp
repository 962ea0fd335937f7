// frmMain on the fake platform: start-up, the lists and boxes, Browse, About
// and Help, the output command (the batch file, its steps, how it fails), a
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
    ui.CreateForm(form);
    form.Load();
    ui.ShowForm();
    fake.journal.clear();
  }
  Text Path(std::string_view name) const { return ui.programFolder + Text(name); }  // beside the program
  Text Read(std::string_view name) const { return FakeFileSystem::ReadBytes(Path(name)); }
  void Output() { ui.UserClick(cmdOut); }
  // A message's expected words: {B} the batch file, {L} the listing, {W} the user's folder.
  Text Filled(Text word) const {
    for (auto [mark, value] :
         {std::pair{"{B}", Path(kBatch)}, {"{L}", Path(kListing)}, {"{W}", ui.userWorkFolder}})
      if (auto at = word.find(mark); at != Text::npos) word.replace(at, 3, value);
    return word;
  }

  fake::FakePlatform fake;
  FakeWindowRuntime& ui = fake.window;
  frmMain form;
};

constexpr ControlId kAttributeButtons[] = {optD, optR, optS, optH, optA};

TEST(StartUp, ListsShowTheirFirstEntriesOnlyOutputButtonsAndStylesAsDesigned) {
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
  ListOptions expected;
  expected.strAttrSwitch = expected.strAttrValue = " ";
  expected.strSortKey = "n";
  EXPECT_EQ(w.form.Options(), expected);
  for (ControlId button : kAttributeButtons) EXPECT_FALSE(w.ui.IsEnabled(button) || w.ui.GetValue(button));
  EXPECT_EQ(w.ui.GetValue(chkT) * 100 + w.ui.GetValue(chkL) * 10 + w.ui.GetValue(chkW), 100);
  EXPECT_EQ(w.ui.GetText(txtPath), "");
  EXPECT_EQ(w.ui.focus, cmdOut);
  std::vector<std::pair<ControlId, double>> fonts;  // all but the lines, in Load's order
  for (ControlId c : {cobFilter, cobType, cobSort, cobWay, txtPath,   Frame2,   Frame1,  Label1, Label2,
                      Label3,    Label4,  Label5,  Label6, cmdBrowse, cmdAbout, cmdHelp, cmdOut, cmdExit,
                      optA,      optD,    optH,    optR,   optS,      chkL,     chkT,    chkW})
    fonts.emplace_back(c, 9.0);
  EXPECT_EQ(w.ui.fontSizes, fonts);
}

// One window through a row of picks and clicks, 输出 after each: the
// switches of the listing command, and whether the attribute buttons may be
// used. The style boxes exclude each other but may both be unchecked, and a
// greyed box counts as unchecked.
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
  const std::tuple<const char*, std::string, const char*> picks[] = {
      // before, the shell's answer, after
      {"", "D:\\Music", "D:\\Music"},
      {"C:\\Old", "D:\\音乐", "D:\\音乐"},
      {"", "D:\\", "D:\\"},                                   // a drive's root is kept as given
      {"", std::string("D:\\Music\0\0\0", 11), "D:\\Music"},  // the buffer's zeros are cut
      {"C:\\Kept", "", "C:\\Kept"}};                          // cancelled
  for (const auto& [before, answer, after] : picks) {
    LoadedWindow w;
    w.ui.UserType(txtPath, before);
    w.fake.shell.folderAnswer = answer;
    w.ui.UserClick(cmdBrowse);
    EXPECT_EQ(w.ui.GetText(txtPath), after) << answer;
    EXPECT_EQ(w.fake.shell.pickerRequests,
              (std::vector{std::pair{FakeWindowRuntime::kFormHandle, Text(texts::kFolderPrompt)}}));
  }
  LoadedWindow w;
  w.ui.UserClick(cmdAbout);
  EXPECT_EQ(w.fake.shell.aboutBoxes,
            (std::vector{std::tuple{FakeWindowRuntime::kFormHandle, Text("Quernel"),
                                    Text("(C) 2026 Quernel 作者\r"), FakeWindowRuntime::kFormIcon}}));
  w.ui.UserClick(cmdHelp);
  w.ui.UserClick(cmdHelp);
  ASSERT_EQ(w.ui.launches.size(), 2u);
  for (const auto& launch : w.ui.launches)
    EXPECT_EQ(
        std::pair(launch.commandLine, launch.style),
        std::pair("explorer.exe \"" + w.Path(texts::kHelpFileName) + "\"", WindowStyle::NormalWithFocus));
  EXPECT_TRUE(w.ui.messages.empty()) << "a missing page is the file manager's business";
  w.ui.onLaunch = [](const LaunchRequest&) { return Launch{nullptr, "not found"}; };
  w.ui.UserClick(cmdHelp);
  ASSERT_EQ(w.ui.messages.size(), 1u);
  EXPECT_EQ(w.ui.messages[0].style, MessageStyle::Error);
  EXPECT_NE(w.ui.messages[0].prompt.find(w.Path(texts::kHelpFileName)), Text::npos);
}

// {R} holds 说明.txt and the folders 下载 and "音乐 2024" (with 歌.mp3).
TEST(ArrivingFolder, FillsTheFolderFieldAndNothingElse) {
  using enum PathSource;
  const struct {
    PathSource source;
    std::vector<Text> paths;
    Text currentFolder;
    Text field;  // afterwards; empty: as without the paths
  } cases[] = {
      // clang-format off
      {CommandLine, {}, "{R}", ""},
      {CommandLine, {"{R}/音乐 2024"}, "/", "{R}/音乐 2024"},
      {CommandLine, {"{R}/音乐 2024/歌.mp3"}, "/", "{R}/音乐 2024"},  // a file gives its folder
      {CommandLine, {"音乐 2024"}, "{R}", "{R}/音乐 2024"},
      {CommandLine, {"./下载/../音乐 2024/歌.mp3"}, "{R}/", "{R}/音乐 2024"},
      {CommandLine, {"."}, "{R}/音乐 2024", "{R}/音乐 2024"},
      {CommandLine, {"{R}/没有", "{R}/说明.txt", "{R}/下载", "{R}/音乐 2024"}, "/", "{R}/下载"},  // the first folder
      {CommandLine, {"{R}/音乐 2024/歌.mp3", "{R}/说明.txt"}, "/", "{R}/音乐 2024"},  // else the first file's
      {CommandLine, {"", "下载"}, "{R}", "{R}/下载"},
      {CommandLine, {"D:\\音乐\\2024"}, "{R}", "D:\\音乐\\2024"},  // missing: kept as given
      {CommandLine, {"x:\\a", "x:\\b"}, "{R}", "x:\\a"},
      {CommandLine, {"新建 文件夹\\"}, "C:\\Users\\李", "C:\\Users\\李\\新建 文件夹"},  // but made absolute
      {CommandLine, {"\\音乐"}, "C:\\Users", "C:\\音乐"},
      {CommandLine, {"..\\..\\..\\x"}, "C:\\a", "C:\\x"},
      {Drop, {"{R}/下载"}, "/", "{R}/下载"},
      {Drop, {"{R}/说明.txt"}, "/", "{R}"},
      {Drop, {"{R}/说明.txt", "{R}/音乐 2024"}, "/", "{R}/音乐 2024"},
      {Drop, {"{R}/没有", "D:\\音乐"}, "/", ""},  // nothing that is there
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
      plain.ui.UserType(txtPath, "D:\\旧");
      EXPECT_EQ(w.form.CanDrop(paths), !c.field.empty()) << "the pointer shows whether it is welcome";
      w.form.Drop(paths);
    }
    EXPECT_EQ(w.ui.GetText(txtPath), c.field.empty() ? plain.ui.GetText(txtPath) : withRoot(c.field));
    w.ui.SetText(txtPath, plain.ui.GetText(txtPath));
    for (const ControlDesign& design : ControlDesigns())
      EXPECT_TRUE(w.ui.State(design.id) == plain.ui.State(design.id)) << design.name;
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
    EXPECT_TRUE(fake.window.focus) << "shown";
    EXPECT_EQ(std::ranges::count(fake.journal, Text("close")), byExit ? 1 : 0);
    EXPECT_EQ(fake.window.messages.size(), 1u) << "the notice alone";
    EXPECT_FALSE(fake.files.FileExists(fake.window.programFolder + Text(texts::kBatchFileName)));
    EXPECT_TRUE(fake.files.FileExists(fake.window.programFolder + Text(texts::kListingFileName)));
  }
  fake::FakePlatform fake;
  fake.window.createFailure = "Not enough memory resources are available to process this command.";
  EXPECT_NE(RunQuernel(fake.Services()), 0);
  ASSERT_EQ(fake.window.messages.size(), 1u);
  EXPECT_EQ(fake.window.messages[0].style, MessageStyle::Error);
  EXPECT_NE(fake.window.messages[0].prompt.find("Not enough memory"), Text::npos);
  EXPECT_FALSE(fake.window.focus) << "never shown";
}

TEST(OutputCommand, WritesTheFolderAndPatternQuotedAndInTheInterpretersCodePage) {
  const struct {
    Text folder, pattern;
    const char* quoted;
    bool utf8 = false;      // else Latin-1
    Text shortFolder = {};  // the folder's short name, if it has one
  } examples[] = {
      // clang-format off
      {"D:\\Docs", "*.*", R"(D:\Docs\*.*)"}, {"D:\\Music\\", "*.mp3", R"(D:\Music\*.mp3)"}, {"", "", R"(\)"},
      {"E:\\My Files", "a b*.doc", R"(E:\My Files\a b*.doc)"}, {"D:\\100%", "%PATH%.*", R"(D:\100%%\%%PATH%%.*)"},
      {"D:\\Café", "*.*", "D:\\Caf\xE9\\*.*"}, {"D:\\音乐", "*.*", R"(D:\音乐\*.*)", true},
      {"D:\\音乐", "*.*", R"(D:\YINYUE~1\*.*)", false, "D:\\YINYUE~1\\"},
      // clang-format on
  };
  for (const auto& c : examples) {
    LoadedWindow w;
    w.fake.SimulateInterpreter();
    w.fake.codePage.utf8 = c.utf8;
    if (!c.shortFolder.empty()) w.fake.files.shortPaths[c.folder + "\\"] = c.shortFolder;
    w.ui.UserType(txtPath, c.folder);
    w.ui.UserType(cobFilter, c.pattern);
    w.Output();
    EXPECT_EQ(w.Read(kBatch), "dir \"" + (c.quoted + ("\"    /o:n /B >\"" + w.ui.programFolder +
                                                      "\\Path.txt\"\r\nexit\r\n")));
    ASSERT_EQ(w.ui.messages.size(), 1u) << c.quoted;
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
    EXPECT_EQ(w.ui.launches.size(), shown ? 2u : 1u) << (c.words.empty() ? "" : c.words.back());
    EXPECT_EQ(w.Read(kListing), c.fault == BatchNotStarted || c.fault == NothingWritten ? "" : "part\r\n");
    EXPECT_EQ(w.ui.pointer, MousePointer::Default);
    ASSERT_EQ(w.ui.messages.size(), c.fault == ViewerNotStarted ? 2u : 1u);
    const fake::Message& box = w.ui.messages.back();
    EXPECT_EQ(w.ui.messages[0].prompt == kNotice, shown);
    if (c.words.empty()) continue;
    EXPECT_EQ(box.style, MessageStyle::Error);
    for (const std::string& word : c.words) EXPECT_THAT(box.prompt, HasSubstr(w.Filled(word)));
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
  const struct {
    std::function<void(LoadedWindow&)> arrange;
    std::vector<Text> words;  // in the box
    Reach reach = TouchesNothing;
  } cases[] = {
      // clang-format off
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\a\"b"); }, {"“文件夹”"}},
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\Docs\r\ndel *.*"); }, {"“文件夹”"}},
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\Docs\t"); }, {"“文件夹”"}},
      {[](auto& w) { w.ui.UserType(cobFilter, "*.txt\" & del \"*"); }, {"“后缀过滤”"}},
      {[](auto& w) { w.ui.UserType(cobFilter, "*.txt\n"); }, {"“后缀过滤”"}},
      {[](auto& w) { w.ui.UserType(cobFilter, std::string("*\0.txt", 6)); }, {"“后缀过滤”"}},
      {[](auto& w) { w.ui.UserType(txtPath, "D:\\音乐"); }, {"“音”", "28591"}},
      {[](auto& w) { w.ui.UserType(cobFilter, "歌*.mp3"); }, {"“后缀过滤”中的字符“歌”"}},
      {[](auto& w) { w.fake.codePage.refusedWhenContaining = "\r\nexit"; }, {"28591"}},
      {[](auto& w) { w.fake.files.WriteNewFile(w.Path(kBatch), "stale");
                     w.fake.files.readOnlyFolders = {w.ui.programFolder, w.ui.userWorkFolder}; },
       {"{W}\\path.bat", "Permission denied"}, TriesToWrite},
      {[&](auto& w) { fs::remove(host(w, kListing)), fs::create_directories(host(w, kListing)); },
       {"{L}", "Is a directory"}, Removes},
      {[&](auto& w) { fs::create_symlink(FakeFileSystem::HostPath(w.fake.Root() + "/precious"), host(w, kBatch)); },
       {"{B}", "不是普通文件"}, TriesToWrite},
      {[](auto& w) { w.fake.files.readOnlyFolders = {w.ui.programFolder};
                     w.ui.userWorkFolder = w.fake.Root() + "\\a\"b"; }, {"工作文件夹", "a\"b"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    LoadedWindow w;
    w.fake.SimulateInterpreter();
    w.fake.files.WriteNewFile(w.fake.Root() + "/precious", "keep me");
    w.fake.files.WriteNewFile(w.Path(kListing), "the last listing");
    c.arrange(w);
    w.fake.journal.clear();
    w.Output();
    ASSERT_EQ(w.ui.messages.size(), 1u) << c.words[0];
    EXPECT_EQ(w.ui.messages[0].style, MessageStyle::Error);
    for (const Text& word : c.words) EXPECT_THAT(w.ui.messages[0].prompt, HasSubstr(w.Filled(word)));
    EXPECT_TRUE(w.ui.launches.empty()) << "a stale batch file is never run";
    EXPECT_EQ(w.ui.pointer, MousePointer::Default);
    EXPECT_EQ(FakeFileSystem::ReadBytes(w.fake.Root() + "/precious"), "keep me");
    for (const Text& line : w.fake.journal) {
      EXPECT_FALSE(c.reach != TriesToWrite && (line.starts_with("write") || line.starts_with("make")))
          << line;
      EXPECT_FALSE(c.reach == TouchesNothing && line.starts_with("remove")) << line;
    }
    EXPECT_TRUE(c.reach != TouchesNothing || w.Read(kListing) == "the last listing") << c.words[0];
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
