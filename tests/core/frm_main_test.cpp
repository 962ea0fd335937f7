// The window's handlers: start-up, the lists and boxes, Browse, About, Help,
// a folder from outside, and the session from start to exit.

#include "core/frm_main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "loaded_window.h"
#include "support/test_support.h"

namespace quernel {
namespace {

using enum ControlId;
using testing::LoadedWindow;

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
  for (ControlId button : kAttributeButtons) {
    EXPECT_FALSE(w.ui.IsEnabled(button)) << NameOf(button);
    EXPECT_EQ(w.ui.GetValue(button), 0) << NameOf(button);
  }
  EXPECT_EQ(w.ui.GetValue(chkT) * 100 + w.ui.GetValue(chkL) * 10 + w.ui.GetValue(chkW), 100);
  EXPECT_EQ(w.ui.GetText(txtPath), "");
  EXPECT_EQ(w.ui.focus, cmdOut);
  // Every control but the lines gets nine points, in Load's order.
  std::vector<std::pair<ControlId, double>> fonts;
  for (ControlId c : {cobFilter, cobType, cobSort, cobWay, txtPath,   Frame2,   Frame1,  Label1, Label2,
                      Label3,    Label4,  Label5,  Label6, cmdBrowse, cmdAbout, cmdHelp, cmdOut, cmdExit,
                      optA,      optD,    optH,    optR,   optS,      chkL,     chkT,    chkW})
    fonts.emplace_back(c, 9.0);
  EXPECT_EQ(w.ui.fontSizes, fonts);
}

TEST(AttributeModes, SetTheSwitchEnableTheButtonsAndKeepOrDropTheLetter) {
  struct Step {
    ControlId control;
    int pick;  // -1: a click
    const char* attributes;
    bool buttonsEnabled;
  };
  const Step steps[] = {
      {cobType, 2, " /a: ", true}, {optH, -1, " /a:h", true},   {cobType, 3, " /a:-h", true},
      {cobType, 1, " /a ", false}, {cobType, 2, " /a: ", true}, {optD, -1, " /a:d", true},
      {optR, -1, " /a:r", true},   {optS, -1, " /a:s", true},   {optA, -1, " /a:a", true},
      {optH, -1, " /a:h", true},   {cobType, 0, "  ", false},
  };
  LoadedWindow w;
  for (const Step& s : steps) {
    s.pick < 0 ? w.ui.UserClick(s.control) : w.ui.UserPick(s.control, s.pick);
    EXPECT_EQ(w.form.Options().strAttrSwitch + w.form.Options().strAttrValue, s.attributes);
    for (ControlId button : kAttributeButtons) EXPECT_EQ(w.ui.IsEnabled(button), s.buttonsEnabled);
  }
  EXPECT_EQ(w.ui.GetValue(optH), 1) << "disabling keeps the selection";
}

TEST(SortLists, EveryEntrySetsItsFragment) {
  LoadedWindow w;
  for (int i = 0; i < 5; ++i) {
    w.ui.UserPick(cobSort, i);
    EXPECT_EQ(w.form.Options().strSortKey, Text(1, "nsdge"[i])) << i;
  }
  for (int i : {2, 0, 2, 1}) {
    w.ui.UserPick(cobWay, i);
    EXPECT_EQ(w.form.Options().strSortDir, i == 2 ? "-" : "") << i;
  }
}

TEST(StyleBoxes, ExcludeEachOtherButMayBothBeUncheckedAndGreyedCountsAsUnchecked) {
  const struct {
    int startT, startW;
    ControlId clicked;
    int endT, endW;
  } cases[] = {
      {1, 0, chkW, 0, 1}, {0, 1, chkT, 1, 0},  // checking one unchecks the other
      {1, 0, chkT, 0, 0}, {0, 1, chkW, 0, 0}, {0, 0, chkT, 1, 0}, {0, 0, chkW, 0, 1},
  };
  for (const auto& c : cases) {
    LoadedWindow w;
    w.ui.SetValue(chkT, c.startT);
    w.ui.SetValue(chkW, c.startW);
    w.ui.UserClick(c.clicked);
    EXPECT_EQ(w.ui.GetValue(chkT) * 10 + w.ui.GetValue(chkW), c.endT * 10 + c.endW) << NameOf(c.clicked);
  }
  LoadedWindow w;
  w.fake.SimulateInterpreter();
  w.ui.SetValue(chkL, 2);
  w.Output();
  EXPECT_EQ(w.form.Options().strLower + w.form.Options().strBare, " /B");
}

TEST(Browse, AsksTheShellAndPutsThePickedFolderInTheFieldOrKeepsItOnCancel) {
  const struct {
    const char* before;
    std::string answer;  // what the shell gives; empty: cancelled
    const char* after;
  } cases[] = {
      {"", "D:\\Music", "D:\\Music"},
      {"C:\\Old", "D:\\音乐", "D:\\音乐"},
      {"", "D:\\", "D:\\"},                                   // a drive's root is kept as given
      {"", std::string("D:\\Music\0\0\0", 11), "D:\\Music"},  // the buffer's zeros are cut
      {"C:\\Kept", "", "C:\\Kept"},
  };
  for (const auto& c : cases) {
    LoadedWindow w;
    w.ui.UserType(txtPath, c.before);
    w.fake.shell.folderAnswer = c.answer;
    w.ui.UserClick(cmdBrowse);
    EXPECT_EQ(w.ui.GetText(txtPath), c.after) << c.answer;
    EXPECT_EQ(w.fake.shell.pickerRequests,
              (std::vector<std::pair<NativeHandle, Text>>{
                  {fake::FakeWindowRuntime::kFormHandle, Text(texts::kFolderPrompt)}}));
  }
}

TEST(AboutAndHelp, ShowTheShellsBoxAndOpenThePageOncePerClick) {
  LoadedWindow w;
  w.ui.UserClick(cmdAbout);
  EXPECT_EQ(w.fake.shell.aboutBoxes,
            (std::vector{std::tuple{fake::FakeWindowRuntime::kFormHandle, Text("Quernel"),
                                    Text("(C) 2026 Quernel 作者\r"), fake::FakeWindowRuntime::kFormIcon}}));
  w.ui.UserClick(cmdHelp);
  w.ui.UserClick(cmdHelp);
  ASSERT_EQ(w.ui.launches.size(), 2u);
  for (const auto& launch : w.ui.launches) {
    EXPECT_EQ(launch.commandLine, "explorer.exe \"" + w.Path(texts::kHelpFileName) + "\"");
    EXPECT_EQ(launch.style, WindowStyle::NormalWithFocus);
  }
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
    const char* what;
    PathSource source;
    std::vector<Text> paths;
    Text currentFolder;
    Text field;  // afterwards; empty: as without the paths
  } cases[] = {
      {"no argument", CommandLine, {}, "{R}", ""},
      {"a folder", CommandLine, {"{R}/音乐 2024"}, "/", "{R}/音乐 2024"},
      {"a file gives its folder", CommandLine, {"{R}/音乐 2024/歌.mp3"}, "/", "{R}/音乐 2024"},
      {"relative", CommandLine, {"音乐 2024"}, "{R}", "{R}/音乐 2024"},
      {"relative, with dots, a file", CommandLine, {"./下载/../音乐 2024/歌.mp3"}, "{R}/", "{R}/音乐 2024"},
      {"the current folder", CommandLine, {"."}, "{R}/音乐 2024", "{R}/音乐 2024"},
      {"the first folder",
       CommandLine,
       {"{R}/没有", "{R}/说明.txt", "{R}/下载", "{R}/音乐 2024"},
       "/",
       "{R}/下载"},
      {"files only: the first file's folder",
       CommandLine,
       {"{R}/音乐 2024/歌.mp3", "{R}/说明.txt"},
       "/",
       "{R}/音乐 2024"},
      {"an empty argument is skipped", CommandLine, {"", "下载"}, "{R}", "{R}/下载"},
      {"missing: kept as given", CommandLine, {"D:\\音乐\\2024"}, "{R}", "D:\\音乐\\2024"},
      {"several missing: the first", CommandLine, {"x:\\a", "x:\\b"}, "{R}", "x:\\a"},
      {"missing and relative: made absolute",
       CommandLine,
       {"新建 文件夹\\"},
       "C:\\Users\\李",
       "C:\\Users\\李\\新建 文件夹"},
      {"the root of the current drive", CommandLine, {"\\音乐"}, "C:\\Users", "C:\\音乐"},
      {"up no further than the root", CommandLine, {"..\\..\\..\\x"}, "C:\\a", "C:\\x"},
      {"a folder dropped", Drop, {"{R}/下载"}, "/", "{R}/下载"},
      {"a file dropped gives its folder", Drop, {"{R}/说明.txt"}, "/", "{R}"},
      {"a file and a folder dropped: the folder",
       Drop,
       {"{R}/说明.txt", "{R}/音乐 2024"},
       "/",
       "{R}/音乐 2024"},
      {"nothing dropped that is there", Drop, {"{R}/没有", "D:\\音乐"}, "/", ""},
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
    SCOPED_TRACE(c.what);
    StartUp startUp{{}, withRoot(c.currentFolder)};
    for (const Text& path : c.paths) startUp.arguments.push_back(withRoot(path));
    const std::vector<Text> dropped = c.source == Drop ? startUp.arguments : std::vector<Text>{};
    if (c.source == Drop) startUp.arguments.clear();
    LoadedWindow plain, w(startUp);
    if (c.source == Drop) {
      w.ui.UserType(txtPath, "D:\\旧");
      plain.ui.UserType(txtPath, "D:\\旧");
      EXPECT_EQ(w.form.CanDrop(dropped), !c.field.empty()) << "the pointer shows whether it is welcome";
      w.form.Drop(dropped);
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
// goes, the listing stays, nothing is said.
TEST(Session, EndsByRemovingTheBatchFileAndKeepingTheListing) {
  for (const bool byExit : {true, false}) {
    fake::FakePlatform fake;
    fake.SimulateInterpreter();
    fake.window.userSession = [byExit](fake::FakeWindowRuntime& window) {
      window.UserClick(cmdOut);
      if (byExit) window.UserClick(cmdExit);
    };
    EXPECT_EQ(RunQuernel(fake.Services()), 0);
    EXPECT_TRUE(fake.window.focus) << "shown";
    EXPECT_EQ(std::ranges::count(fake.journal, Text("close")), byExit ? 1 : 0);
    EXPECT_EQ(fake.window.messages.size(), 1u) << "the notice alone";
    EXPECT_FALSE(fake.files.FileExists(fake.window.programFolder + Text(texts::kBatchFileName))) << byExit;
    EXPECT_TRUE(fake.files.FileExists(fake.window.programFolder + Text(texts::kListingFileName))) << byExit;
  }
  fake::FakePlatform fake;
  fake.window.createFailure = "Not enough memory resources are available to process this command.";
  EXPECT_NE(RunQuernel(fake.Services()), 0);
  ASSERT_EQ(fake.window.messages.size(), 1u);
  EXPECT_EQ(fake.window.messages[0].style, MessageStyle::Error);
  EXPECT_NE(fake.window.messages[0].prompt.find("Not enough memory"), Text::npos);
  EXPECT_FALSE(fake.window.focus) << "never shown";
}

}  // namespace
}  // namespace quernel
