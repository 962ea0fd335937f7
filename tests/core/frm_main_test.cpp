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

// A main window as the user sees it right after start, the journal cleared; runs list at once.
struct LoadedWindow {
  explicit LoadedWindow(StartUp startUp = {}) : form(fake.Services(), std::move(startUp)) {
    fake.SimulateInterpreter();
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

// The start values of the boxes and lists are pinned by the batch files below.
TEST(StartUp, ListsShowTheirFirstEntriesAndEveryControlHasNineFontPoints) {
  LoadedWindow w;
  const std::pair<ControlId, std::vector<Text>> lists[] = {
      {cobFilter, {"*.*", "*.txt", "*.mp3", "*.htm", "*.exe", "*.avi"}},
      {cobType, {"默认", "全部显示", "显示指定项", "不显示指定项"}},
      {cobSort, {"名称", "大小", "日期", "组别", "扩展名"}},
      {cobWay, {"", "顺序", "逆序"}}};
  for (const auto& [list, items] : lists) {
    EXPECT_EQ(w.ui.State(list).items, items);
    EXPECT_EQ(w.ui.GetListIndex(list), 0);
  }
  for (ControlId button : kAttributeButtons) EXPECT_FALSE(w.ui.IsEnabled(button)) << NameOf(button);
  for (const ControlDesign& d : ControlDesigns())
    EXPECT_THAT(w.ui.fontSizes, ::testing::Contains(std::pair{d.id, 9.0})) << d.name;
}

// The style boxes exclude each other but may both be unchecked; a greyed box counts as unchecked.
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
  // Before, the shell's answer, after.
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
  const Text help = w.Path(texts::kHelpFileName);
  w.ui.UserClick(cmdHelp);
  // Nothing said: a missing page is the file manager's business.
  EXPECT_EQ(w.fake.journal, fake::Journal{"launch 1 explorer.exe \"" + help + "\""});
  w.ui.openRefusal = "not found";
  w.ui.UserClick(cmdHelp);
  EXPECT_EQ(w.fake.journal.back(), "message 16 无法打开帮助页:\r" + help + "\r\rnot found");
}

// The first folder named, else the first file's folder; from the command line a path that names
// nothing is kept as given (made absolute). A drop is welcome when it changes the field.
TEST(ArrivingFolder, FillsTheFolderFieldAndNothingElse) {
  using enum PathSource;
  testing::TempFolder data;
  data.Write("音乐 2024/歌.mp3", "mp3");
  data.Write("说明.txt", "text");
  std::filesystem::create_directories(data.Path() / "下载");
  const Text r = data.Name();
  const struct {
    PathSource source;
    std::vector<Text> paths;
    Text currentFolder;
    Text field;  // afterwards
  } cases[] = {
      // clang-format off
      {CommandLine, {}, r, ""}, {CommandLine, {r + "/音乐 2024"}, "/", r + "/音乐 2024"},
      {CommandLine, {r + "/音乐 2024/歌.mp3"}, "/", r + "/音乐 2024"}, {CommandLine, {"音乐 2024"}, r, r + "/音乐 2024"},
      {CommandLine, {"./下载/../音乐 2024/歌.mp3"}, r + "/", r + "/音乐 2024"},
      {CommandLine, {"."}, r + "/音乐 2024", r + "/音乐 2024"},
      {CommandLine, {r + "/没有", r + "/说明.txt", r + "/下载", r + "/音乐 2024"}, "/", r + "/下载"},
      {CommandLine, {r + "/音乐 2024/歌.mp3", r + "/说明.txt"}, "/", r + "/音乐 2024"},
      {CommandLine, {"", "下载"}, r, r + "/下载"}, {CommandLine, {"D:\\音乐\\2024"}, r, "D:\\音乐\\2024"},
      {CommandLine, {"x:\\a", "x:\\b"}, r, "x:\\a"}, {CommandLine, {"\\音乐"}, "C:\\Users", "C:\\音乐"},
      {CommandLine, {"新建 文件夹\\"}, "C:\\Users\\李", "C:\\Users\\李\\新建 文件夹"},
      {CommandLine, {"..\\..\\..\\x"}, "C:\\a", "C:\\x"}, {Drop, {r + "/下载"}, "/", r + "/下载"},
      {Drop, {r + "/说明.txt"}, "/", r}, {Drop, {r + "/说明.txt", r + "/音乐 2024"}, "/", r + "/音乐 2024"},
      {Drop, {r + "/没有", "D:\\音乐"}, "/", "D:\\旧"},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.paths));
    LoadedWindow plain, w({c.source == Drop ? std::vector<Text>{} : c.paths, c.currentFolder});
    if (c.source == Drop) {
      w.ui.UserType(txtPath, "D:\\旧");
      EXPECT_EQ(w.form.CanDrop(c.paths), c.field != "D:\\旧");
      w.form.Drop(c.paths);
    }
    EXPECT_EQ(w.ui.GetText(txtPath), c.field);
    for (const ControlDesign& d : ControlDesigns())
      EXPECT_TRUE(d.id == txtPath || w.ui.State(d.id) == plain.ui.State(d.id)) << d.name;
    EXPECT_EQ(w.ui.fontSizes, plain.ui.fontSizes);
    EXPECT_EQ(w.form.Options(), plain.form.Options());
    EXPECT_EQ(w.ui.focus, cmdOut);
    EXPECT_TRUE(w.ui.messages.empty());
  }
}

// Exit, the close box and Esc alike: the batch file goes, the listing stays, nothing is said.
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
    EXPECT_FALSE(fake.files.FileExists(fake.window.programFolder + kBatch));
    EXPECT_TRUE(fake.files.FileExists(fake.window.programFolder + kListing));
  }
  LoadedWindow busy;  // while another window makes its listing there, the batch file stays
  busy.Output();
  busy.ui.lockedElsewhere = {busy.ui.programFolder};
  busy.form.Unload();
  EXPECT_TRUE(busy.fake.files.FileExists(busy.Path(kBatch)));
  fake::FakePlatform fake;
  fake.window.createFailure = "Not enough memory resources are available to process this command.";
  EXPECT_EQ(RunQuernel(fake.Services()), 1);
  EXPECT_FALSE(fake.window.focus) << "never shown";
  EXPECT_EQ(fake.journal,
            fake::Journal{"message 16 无法创建程序窗口,Quernel 无法启动:\rNot enough memory resources "
                          "are available to process this command."});
}

// Only once the hidden run has ended is the listing announced and opened.
TEST(OutputCommand, WritesTheFolderAndPatternQuotedInTheCodePageAndRunsTheBatchFileHidden) {
  LoadedWindow w;
  const Text batch = w.Path(kBatch), listing = w.Path(kListing), inCommand = w.Path("\\Path.txt");
  w.Output();
  EXPECT_THAT(
      w.fake.journal,
      ::testing::ElementsAre("pointer 11", "lock " + w.ui.programFolder + " 30000", "remove " + listing,
                             "remove " + inCommand, "write " + batch, "launch 0 \"" + batch + "\"", "wait",
                             "pointer 0", "message 64 " + kNotice, "launch 1 notepad.exe \"" + listing + "\"",
                             "unlock " + w.ui.programFolder));
  EXPECT_EQ(w.ui.runs[0].unsetEnvironment, std::vector<Text>{"DIRCMD"});
  // What the code page cannot hold reaches cmd as the run's variables, the text as typed.
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
    const auto& environment = w.ui.runs.back().environment;
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
  }
}

// What an output did and the boxes it showed, a word each, from the journal.
std::string Done(const fake::Journal& journal) {
  // clang-format off
  const std::pair<Text, const char*> words[] = {{"make", "make"}, {"remove", "remove"}, {"write", "write"},
      {"launch 0", "run"}, {"ask", "ask"}, {"stop", "stop"}, {"launch 1", "view"}, {"message 64 " + kNotice, "notice"},
      {"message 64", "information"}, {"message 16", "error"}};
  // clang-format on
  std::string done;
  for (const Text& line : journal)
    if (auto word = std::ranges::find_if(words, [&](const auto& w) { return line.starts_with(w.first); });
        word != std::end(words))
      (done += done.empty() ? "" : " ") += word->second;
  return done;
}

// A refusal writes and runs nothing; a run that fails shows an error instead of the notice, and no viewer.
TEST(OutputCommand, ShowsTheListingOnlyWhenItWasMadeAndRunsNothingItCannotWriteSafely) {
  namespace fs = std::filesystem;
  const std::string longLine(150, 'x');
  const Text ran = "remove remove write run", shown = ran + " notice view";
  // clang-format off
  const auto host = [](const LoadedWindow& w, const Text& name) { return FakeFileSystem::HostPath(w.Path(name)); };
  const auto ends = [](RunEnd end) { return [end](LoadedWindow& w) { w.fake.SimulateInterpreter("part\r\n", end); }; };
  const struct {
    const char* name;
    std::function<void(LoadedWindow&)> arrange;
    Text done;  // and shown
    std::vector<std::string> words, absent = {};  // in the last box
  } cases[] = {
      {"a quote in the folder", [](auto& w) { w.ui.UserType(txtPath, "D:\\a\"b"); }, "error",
       {"“文件夹”中含有双引号或控制字符(如换行、制表符),无法输出文件列表!\r\r请修改文件夹路径后再试。"}},
      {"a tab in the folder", [](auto& w) { w.ui.UserType(txtPath, "D:\\Docs\t"); }, "error", {"“文件夹”"}},
      {"a quote in the pattern", [](auto& w) { w.ui.UserType(cobFilter, "*.txt\" & del \"*"); }, "error",
       {"“后缀过滤”中含有双引号或控制字符(如换行、制表符),无法输出文件列表!\r\r请修改后缀过滤后再试。"}},
      {"a batch file the code page refuses", [](auto& w) { w.fake.codePage.refusedWhenContaining = "\r\nexit"; }, "error",
       {"代码页 28591"}},
      {"both work folders read-only", [](auto& w) { w.fake.files.readOnlyFolders = {w.ui.programFolder, w.ui.userWorkFolder}; },
       "make remove remove write error", {"无法写入批处理文件:\r", "/user-work\\path.bat\r\rPermission denied"}},
      {"the last listing is a folder", [&](auto& w) { fs::create_directories(host(w, kListing)); }, "remove error",
       {"无法删除上次的文件列表:\r", "/program\\path.txt\r\rIs a directory"}},
      {"the batch file is a folder", [&](auto& w) { fs::create_directories(host(w, kBatch)); }, "remove remove write error",
       {"/program\\path.bat\r\r该位置已有一个不是普通文件的项目"}},
      {"a quote in the user's folder", [](auto& w) { w.fake.files.readOnlyFolders = {w.ui.programFolder};
                                                     w.ui.userWorkFolder = w.fake.Root() + "\\a\"b"; },
       "error", {"工作文件夹的路径中含有双引号", "\\a\"b"}},
      {"another window's listing", [](auto& w) { w.ui.lockedElsewhere = {w.ui.programFolder}; }, "error",
       {"另一个 Quernel 窗口", "/program\r"}},
      {"blank words", ends({0, "\r\n  \r\n"}), shown, {}},
      {"nothing found", ends({0, "找不到文件。\r\n\r\n"}), ran + " information", {"没有与“*.*”相符的文件:\r\\\r"},
       {"没有完成", "退出代码"}},
      {"nothing found, exit code 1", ends({1, "找不到文件\r\n"}), ran + " information", {"没有与“*.*”相符的文件"}},
      {"nothing found in English", ends({1, " File Not Found\r\n"}), ran + " information", {"没有与“*.*”相符的文件"}},
      {"nothing found, exit code 2", ends({2, "找不到文件\r\n"}), ran + " error", {"没有完成", "找不到文件\r(退出代码 2)"}},
      {"nothing found and more", ends({0, "找不到文件。\r\n拒绝访问。\r\n"}), ran + " error", {"没有完成", "找不到文件。\r拒绝访问。"}},
      {"a folder that is not there", [](auto& w) { w.ui.UserType(txtPath, w.fake.Root() + "/没有");
                                                   w.fake.SimulateInterpreter("", {0, "找不到文件。\r\n"}); },
       ran + " error", {"找不到要列出的文件夹:\r", "/没有\\\r"}, {"没有完成"}},
      {"a listing cut short", ends({0, "", "The listing is cut short."}), ran + " error",
       {"无法转换为 UTF-8 文本,未打开记事本!\r\rThe listing is cut short.", "/program\\path.txt"}},
      {"the interpreter's words", ends({0, "无效参数。\r\n"}), ran + " error",
       {"文件列表没有完成,未打开记事本!\r\r命令解释器报告:\r无效参数。\r\r列表文件(可能不完整)留在:\r", "/program\\path.txt"}},
      {"exit code 1", ends({1, ""}), ran + " error", {"命令解释器报告:\r(退出代码 1)\r\r"}},
      {"exit code -1", ends({-1, ""}), ran + " error", {"命令解释器报告:\r(退出代码 -1)\r\r"}},
      {"words and exit code", ends({1, "拒绝访问。\n"}), ran + " error", {"命令解释器报告:\r拒绝访问。\r(退出代码 1)\r\r"}},
      {"five lines", ends({0, "  one\tline  \r\n\r\ntwo\nthree\n" + longLine + "\nfive\n"}), ran + " error",
       {"one line\rtwo\rthree\r……"}, {"five", "xxxxx"}},
      {"a long line", ends({0, "找" + longLine + "\n"}), ran + " error", {"找" + std::string(99, 'x') + "…\r"},
       {std::string(100, 'x')}},
      {"the user stops the run", [](auto& w) { w.ui.stopTries = 1, w.ui.answer = true; }, ran + " ask stop information",
       {"已停止生成文件列表,未打开记事本。\r\r列表文件(不完整)留在:\r", "/program\\path.txt"}},
      {"the user goes on waiting", [](auto& w) { w.ui.stopTries = 2; }, ran + " ask ask notice view", {}},
      {"4095 bytes free", [](auto& w) { w.fake.files.freeBytes = 4095; }, ran + " error", {"磁盘已满", "/program\\path.txt"}},
      {"4096 bytes free", [](auto& w) { w.fake.files.freeBytes = 4096; }, shown, {}},
      {"the interpreter cannot start", [](auto& w) { w.ui.onRun = [](auto&) { return Result<RunEnd>(Fail(Text("找不到文件"))); }; },
       ran + " error", {"无法运行批处理文件:\r", "/program\\path.bat\r\r找不到文件\r\r文件列表没有输出。"}},
      {"no listing", [](auto& w) { w.ui.onRun = nullptr; }, ran + " error", {"文件列表没有生成:\r", "/program\\path.txt"}},
      {"the viewer refuses", [](auto& w) { w.ui.openRefusal = "no viewer"; }, shown + " error",
       {"无法用记事本打开文件列表:\r", "/program\\path.txt\r\rno viewer\r\r文件列表已保存在上面的文件中。"}},
      {"another viewer refuses", [](auto& w) { w.ui.openRefusal = "no viewer", w.ui.viewerName = "文本编辑器"; }, shown + " error",
       {"无法用文本编辑器打开文件列表:\r"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedWindow w;
    c.arrange(w);
    w.fake.journal.clear();
    w.Output();
    EXPECT_EQ(Done(w.fake.journal), c.done);
    EXPECT_EQ(w.ui.pointer, MousePointer::Default);
    if (w.ui.messages.empty()) continue;
    for (const std::string& word : c.words) EXPECT_THAT(w.ui.messages.back().prompt, HasSubstr(word));
    for (const std::string& text : c.absent)
      EXPECT_THAT(w.ui.messages.back().prompt, ::testing::Not(HasSubstr(text)));
  }
}

// What would break a box's lines or turn its reading order shows as its code; a long path is cut.
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
    }
  }
}

// A program folder that is an installation's, read-only, full or unfit for a batch file sends the work
// to the user's folder; Unload removes the batch file there.
TEST(OutputCommand, ProgramFolderThatCannotBeUsedSendsTheWorkToTheUsersFolder) {
  for (const char* name : {"installed", "read-only", "full", "x\"", "x\"\r\ndir", "tab\there"}) {
    LoadedWindow w;
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
    EXPECT_THAT(w.fake.journal, ::testing::Contains("launch 1 notepad.exe \"" + work + kListing + "\""))
        << name;
    w.form.Unload();
    EXPECT_FALSE(w.fake.files.FileExists(work + kBatch));
    EXPECT_TRUE(w.fake.files.FileExists(work + kListing));
  }
  LoadedWindow w;
  w.fake.files.readOnlyFolders = {FakeFileSystem::HostPath(w.ui.programFolder).string()};
  EXPECT_TRUE(w.fake.files.WriteNewFile(w.fake.Root() + "/a file", ""));
  w.ui.userWorkFolder = w.fake.Root() + "/a file/quernel";
  w.Output();
  EXPECT_THAT(w.fake.journal.back(),
              HasSubstr("message 16 无法建立工作文件夹:\r" + w.ui.userWorkFolder + "\r\r"));
  EXPECT_TRUE(w.ui.runs.empty());
}

}  // namespace
}  // namespace quernel
