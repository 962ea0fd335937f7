#include "core/frm_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "loaded_window.h"

namespace quernel {
namespace {

using enum ControlId;
using testing::LoadedWindow;

constexpr ControlId kAttributeButtons[] = {optD, optR, optS, optH, optA};

TEST(StartUp, ListsShowTheirFirstEntriesAndOptionsHaveTheirStartValues) {
  LoadedWindow w;
  EXPECT_EQ(w.window().State(cobFilter).items,
            (std::vector<Text>{"*.*", "*.txt", "*.mp3", "*.htm", "*.exe", "*.avi"}));
  EXPECT_EQ(w.window().State(cobType).items,
            (std::vector<Text>{"默认", "全部显示", "显示指定项", "不显示指定项"}));
  EXPECT_EQ(w.window().State(cobSort).items, (std::vector<Text>{"名称", "大小", "日期", "组别", "扩展名"}));
  EXPECT_EQ(w.window().State(cobWay).items, (std::vector<Text>{"", "顺序", "逆序"}));
  for (auto [list, shown] :
       {std::pair{cobFilter, "*.*"}, {cobType, "默认"}, {cobSort, "名称"}, {cobWay, ""}}) {
    EXPECT_EQ(w.window().GetListIndex(list), 0);
    EXPECT_EQ(w.window().GetText(list), shown);
  }
  ListOptions expected;
  expected.strAttrSwitch = " ";
  expected.strAttrValue = " ";
  expected.strSortKey = "n";
  EXPECT_EQ(w.form.Options(), expected);
}

TEST(StartUp, AttributeButtonsAreDisabledAndNoneIsChosen) {
  LoadedWindow w;
  for (ControlId button : kAttributeButtons) {
    EXPECT_FALSE(w.window().IsEnabled(button)) << NameOf(button);
    EXPECT_EQ(w.window().GetValue(button), 0) << NameOf(button);
  }
  EXPECT_EQ(w.window().GetValue(chkT), 1);
  EXPECT_EQ(w.window().GetValue(chkL), 0);
  EXPECT_EQ(w.window().GetValue(chkW), 0);
  EXPECT_EQ(w.window().GetText(txtPath), "");
  EXPECT_EQ(w.window().Focus(), cmdOut);
}

TEST(StartUp, EveryControlButTheLinesGetsNinePointsInLoadOrder) {
  LoadedWindow w;
  const std::vector<ControlId> expected{cobFilter, cobType, cobSort, cobWay,  txtPath, Frame2, Frame1,
                                        Label1,    Label2,  Label3,  Label4,  Label5,  Label6, cmdBrowse,
                                        cmdAbout,  cmdHelp, cmdOut,  cmdExit, optA,    optD,   optH,
                                        optR,      optS,    chkL,    chkT,    chkW};
  EXPECT_EQ(w.window().FontSizeOrder(), expected);
  for (ControlId control : expected) EXPECT_EQ(w.window().State(control).fontSize, 9.0);
  EXPECT_EQ(w.window().State(Line1).fontSize, 0.0);
}

struct AttributeModeCase {
  int index;
  const char* attrSwitch;
  const char* attrValueAfterH;  // when the hidden button was chosen before
  bool buttonsEnabled;
};

class AttributeModeRows : public ::testing::TestWithParam<AttributeModeCase> {};

TEST_P(AttributeModeRows, SetTheSwitchAndTheButtons) {
  LoadedWindow w;
  w.window().UserPick(cobType, 2);
  w.window().UserClick(optH);
  w.window().UserPick(cobType, GetParam().index);
  EXPECT_EQ(w.form.Options().strAttrSwitch, GetParam().attrSwitch);
  EXPECT_EQ(w.form.Options().strAttrValue, GetParam().attrValueAfterH);
  for (ControlId button : kAttributeButtons) {
    EXPECT_EQ(w.window().IsEnabled(button), GetParam().buttonsEnabled) << NameOf(button);
  }
  EXPECT_EQ(w.window().GetValue(optH), 1) << "disabling keeps the selection";
}

INSTANTIATE_TEST_SUITE_P(cobType, AttributeModeRows,
                         ::testing::Values(AttributeModeCase{0, " ", " ", false},
                                           AttributeModeCase{1, " /a", " ", false},
                                           AttributeModeCase{2, " /a:", "h", true},
                                           AttributeModeCase{3, " /a:-", "h", true}));

TEST(AttributeButtons, EachStoresItsLetter) {
  const std::pair<ControlId, const char*> rows[] = {
      {optD, "d"}, {optR, "r"}, {optS, "s"}, {optH, "h"}, {optA, "a"}};
  LoadedWindow w;
  w.window().UserPick(cobType, 3);
  for (auto [button, letter] : rows) {
    w.window().UserClick(button);
    EXPECT_EQ(w.form.Options().strAttrValue, letter) << NameOf(button);
  }
}

TEST(AttributeButtons, TheLetterIsNotRestoredAfterADefaultMode) {
  LoadedWindow w;
  w.window().UserPick(cobType, 2);
  w.window().UserClick(optH);
  EXPECT_EQ(w.form.Options().strAttrSwitch + w.form.Options().strAttrValue, " /a:h");
  w.window().UserPick(cobType, 0);
  EXPECT_EQ(w.form.Options().strAttrSwitch + w.form.Options().strAttrValue, "  ");
  w.window().UserPick(cobType, 2);
  EXPECT_EQ(w.form.Options().strAttrSwitch + w.form.Options().strAttrValue, " /a: ");
}

TEST(SortLists, EveryEntrySetsItsFragment) {
  LoadedWindow w;
  const char* keys[] = {"n", "s", "d", "g", "e"};
  for (int i = 0; i < 5; ++i) {
    w.window().UserPick(cobSort, i);
    EXPECT_EQ(w.form.Options().strSortKey, keys[i]) << i;
  }
  const char* signs[] = {"", "", "-"};
  for (int i : {2, 0, 2, 1}) {
    w.window().UserPick(cobWay, i);
    EXPECT_EQ(w.form.Options().strSortDir, signs[i]) << i;
  }
}

struct InterlockCase {
  int startT, startW;
  ControlId clicked;
  int endT, endW;
};

TEST(StyleBoxes, ExcludeEachOtherButMayBothBeUnchecked) {
  const InterlockCase cases[] = {
      {1, 0, chkW, 0, 1},                      // checking one unchecks the other
      {0, 1, chkT, 1, 0}, {1, 0, chkT, 0, 0},  // unchecking leaves the other alone
      {0, 1, chkW, 0, 0}, {0, 0, chkT, 1, 0}, {0, 0, chkW, 0, 1},
  };
  for (const auto& c : cases) {
    LoadedWindow w;
    w.window().SetValue(chkT, c.startT);
    w.window().SetValue(chkW, c.startW);
    w.window().UserClick(c.clicked);
    EXPECT_EQ(w.window().GetValue(chkT), c.endT) << NameOf(c.clicked);
    EXPECT_EQ(w.window().GetValue(chkW), c.endW) << NameOf(c.clicked);
  }
}

TEST(StyleBoxes, AGreyedBoxCountsAsUnchecked) {
  LoadedWindow w;
  w.fake.SimulateInterpreter();
  w.window().SetValue(chkL, 2);
  w.window().UserClick(cmdOut);
  EXPECT_EQ(w.form.Options().strLower, "");
  EXPECT_EQ(w.form.Options().strBare, " /B");
}

// --- A folder from the command line or a drop ----------------------------------

struct ArrivingFolderCase {
  const char* what;
  PathSource source;
  std::vector<Text> paths;  // "{R}" stands for a folder of real files
  Text currentFolder;
  Text field;  // afterwards; empty: as without the paths
};

Text WithRoot(Text text, const Text& root) {
  if (auto at = text.find("{R}"); at != Text::npos) text.replace(at, 3, root);
  return text;
}

// {R} holds 说明.txt and the folders 下载 and "音乐 2024" (with 歌.mp3).
TEST(ArrivingFolder, FillsTheFolderFieldAndNothingElse) {
  using enum PathSource;
  const ArrivingFolderCase cases[] = {
      {"no argument", CommandLine, {}, "{R}", ""},
      {"a folder", CommandLine, {"{R}/音乐 2024"}, "/", "{R}/音乐 2024"},
      {"a file gives its folder", CommandLine, {"{R}/音乐 2024/歌.mp3"}, "/", "{R}/音乐 2024"},
      {"relative", CommandLine, {"音乐 2024"}, "{R}", "{R}/音乐 2024"},
      {"relative, with dots, a file", CommandLine, {"./下载/../音乐 2024/歌.mp3"}, "{R}/", "{R}/音乐 2024"},
      {"the current folder", CommandLine, {"."}, "{R}/音乐 2024", "{R}/音乐 2024"},
      {"the first folder of several",
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
      {"missing and relative: absolute all the same",
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
  for (const ArrivingFolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    LoadedWindow plain;  // started without a folder
    fake::FakePlatform fake;
    const Text root = fake.Root() + "/data";
    namespace fs = std::filesystem;
    fs::create_directories(fake::FakeFileSystem::HostPath(root + "/音乐 2024"));
    fs::create_directories(fake::FakeFileSystem::HostPath(root + "/下载"));
    std::ofstream(fake::FakeFileSystem::HostPath(root + "/音乐 2024/歌.mp3")) << "mp3";
    std::ofstream(fake::FakeFileSystem::HostPath(root + "/说明.txt")) << "text";

    StartUp startUp{{}, WithRoot(c.currentFolder, root)};
    for (const Text& path : c.paths) startUp.arguments.push_back(WithRoot(path, root));
    const std::vector<Text> dropped = c.source == Drop ? startUp.arguments : std::vector<Text>{};
    if (c.source == Drop) startUp.arguments.clear();
    frmMain form(fake.Services(), startUp);
    fake.window.CreateForm(form);
    form.Load();
    fake.window.ShowForm();
    if (c.source == Drop) {
      fake.window.UserType(txtPath, "D:\\旧");
      plain.window().UserType(txtPath, "D:\\旧");
      EXPECT_EQ(form.CanDrop(dropped), !c.field.empty()) << "the pointer shows whether the drop is welcome";
      form.Drop(dropped);
    }

    EXPECT_EQ(fake.window.GetText(txtPath),
              c.field.empty() ? plain.window().GetText(txtPath) : WithRoot(c.field, root));
    for (const ControlDesign& design : ControlDesigns()) {
      if (design.id == txtPath) continue;
      const fake::ControlState& seen = fake.window.State(design.id);
      const fake::ControlState& start = plain.window().State(design.id);
      EXPECT_EQ(seen.text, start.text) << design.name;
      EXPECT_EQ(seen.value, start.value) << design.name;
      EXPECT_EQ(seen.listIndex, start.listIndex) << design.name;
      EXPECT_EQ(seen.items, start.items) << design.name;
      EXPECT_EQ(seen.enabled, start.enabled) << design.name;
      EXPECT_EQ(seen.fontSize, start.fontSize) << design.name;
    }
    EXPECT_EQ(form.Options(), plain.form.Options());
    EXPECT_EQ(fake.window.Focus(), cmdOut);
    EXPECT_TRUE(fake.window.Messages().empty());
  }
}

// --- Start-up and exit through RunQuernel --------------------------------------

class Session : public ::testing::Test {
 protected:
  fake::FakePlatform fake;
};

// Exit, the close box (the session just ends) and Esc alike: the batch file
// goes, the listing stays, nothing is said.
TEST(SessionEnd, RemovesTheBatchFileAndKeepsTheListing) {
  for (const bool byExit : {true, false}) {
    fake::FakePlatform fake;
    fake.SimulateInterpreter();
    fake.window.userSession = [byExit](fake::FakeWindowRuntime& window) {
      window.UserClick(cmdOut);
      if (byExit) window.UserClick(cmdExit);
    };
    EXPECT_EQ(RunQuernel(fake.Services()), 0);
    EXPECT_TRUE(fake.window.Shown());
    EXPECT_TRUE(fake.window.Closed());
    EXPECT_EQ(fake.window.Messages().size(), 1u) << "the notice alone";
    EXPECT_FALSE(fake.files.FileExists(fake.window.ProgramFolder() + Text(texts::kBatchFileName))) << byExit;
    EXPECT_TRUE(fake.files.FileExists(fake.window.ProgramFolder() + Text(texts::kListingFileName))) << byExit;
  }
}

TEST_F(Session, AWindowThatCannotBeMadeIsReportedAndEndsWithAFailure) {
  fake.window.createFailure = "Not enough memory resources are available to process this command.";
  EXPECT_NE(RunQuernel(fake.Services()), 0);
  ASSERT_EQ(fake.window.Messages().size(), 1u);
  EXPECT_EQ(fake.window.Messages()[0].style, MessageStyle::Error);
  EXPECT_NE(fake.window.Messages()[0].prompt.find("Not enough memory"), Text::npos);
  EXPECT_FALSE(fake.window.Shown());
}

}  // namespace
}  // namespace quernel
