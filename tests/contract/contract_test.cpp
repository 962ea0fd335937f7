// The platform contract: what the program relies on from every back-end.

#include <gtest/gtest.h>

#include <optional>

#include "contract/contract_harness.h"
#include "support/test_support.h"

namespace quernel::contract {
namespace {

using enum ControlId;

class PlatformContract : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_ = MakeContractHarness();
    const auto created = window().CreateForm(events_);
    ASSERT_TRUE(created) << created.error();
  }
  WindowRuntime& window() { return harness_->Window(); }
  FileSystem& files() { return harness_->Files(); }
  Text Scratch(const char* name) { return harness_->ScratchFolder() + "\\" + name; }
  // Runs these lines as path.bat in the scratch folder, its listing path.txt there.
  Result<RunEnd> Run(
      const Text& lines, std::vector<std::pair<Text, Text>> variables = {},
      const std::function<bool()>& stopWanted = [] { return false; }) {
    static_cast<void>(files().RemoveFile(Scratch("path.txt")));  // there or not
    const auto bytes = harness_->Codes().Encode(lines);
    if (!bytes || !files().WriteNewFile(Scratch("path.bat"), *bytes))
      return Fail(Text("path.bat not written"));
    return window().RunListing({Scratch("path.bat"), Scratch("path.txt"), {"DIRCMD"}, std::move(variables)},
                               stopWanted);
  }

  testing::RecordingEvents events_;  // outlives the window that raises into it
  std::unique_ptr<ContractHarness> harness_;
};

// Neither creating the form nor texts, entries, states, fonts or values it has raise a Click.
TEST_F(PlatformContract, FormStartsAsDesignedAndWritesThatChangeNoValueRaiseNothing) {
  for (const ControlDesign& d : ControlDesigns()) {
    const bool valued = d.kind == ControlKind::CheckBox || d.kind == ControlKind::OptionButton;
    const bool listed = d.kind == ControlKind::PickList || d.kind == ControlKind::EditableList;
    EXPECT_EQ(window().IsEnabled(d.id), d.enabled) << d.name;
    EXPECT_EQ(valued ? window().GetValue(d.id) : d.value, d.value) << d.name;
    EXPECT_EQ(listed ? window().GetListIndex(d.id) : -1, -1) << d.name;
    EXPECT_EQ(listed || d.kind == ControlKind::TextField ? window().GetText(d.id) : "", "") << d.name;
    window().SetFontSize(d.id, 9.0);
  }
  for (const char* entry : {"*.*", "*.txt"}) window().AddItem(cobFilter, entry);
  window().SetValue(chkT, 1);  // checked by design
  window().SetValue(chkL, 0);  // unchecked by design
  window().SetListIndex(cobFilter, -1);
  window().SetText(txtPath, "D:\\音乐\\Café 100%");
  window().SetText(cobFilter, "歌曲*.mp3");
  window().SetEnabled(optD, false);
  EXPECT_EQ(window().GetText(txtPath), "D:\\音乐\\Café 100%");
  EXPECT_EQ(window().GetText(cobFilter), "歌曲*.mp3");
  EXPECT_FALSE(window().IsEnabled(optD));
  EXPECT_TRUE(events_.clicks.empty());
}

TEST_F(PlatformContract, AWriteRaisesTheClickBeforeItReturnsAndAClickWithinRunsInside) {
  std::vector<std::string> trace;
  events_.onClick = [&](ControlId control) {
    const std::string name(NameOf(control));
    trace.push_back("enter " + name);
    if (control == chkW && window().GetValue(chkW) == 1) window().SetValue(chkT, 0);
    trace.push_back("leave " + name);
  };
  window().SetValue(chkW, 1);
  trace.push_back("returned");
  EXPECT_EQ(trace,
            (std::vector<std::string>{"enter chkW", "enter chkT", "leave chkT", "leave chkW", "returned"}));
  EXPECT_EQ(window().GetValue(chkT), 0);
  EXPECT_EQ(window().GetValue(chkW), 1);
}

// The editable list shows no entry once the user types, even what reads as one.
TEST_F(PlatformContract, ListsSelectAsWrittenOrTypedAndOptionButtonsOfAFrameAreAGroup) {
  for (const char* entry : {"名称", "大小", "日期"}) window().AddItem(cobSort, entry);
  std::pair<int, Text> seen;
  events_.onClick = [&](ControlId) { seen = {window().GetListIndex(cobSort), window().GetText(cobSort)}; };
  window().SetListIndex(cobSort, 2);
  EXPECT_EQ(seen, (std::pair<int, Text>{2, "日期"}));
  window().SetValue(optR, 1);
  window().SetValue(optH, 1);
  EXPECT_EQ(events_.clicks, (std::vector{cobSort, optR, optH}));
  EXPECT_EQ(window().GetValue(optR), 0);
  EXPECT_EQ(window().GetValue(optH), 1);
  for (const char* entry : {"*.*", "*.txt"}) window().AddItem(cobFilter, entry);
  for (const char* typed : {"*.doc", "*.*"}) {
    window().SetListIndex(cobFilter, 1);
    EXPECT_EQ(window().GetListIndex(cobFilter), 1) << "a pick by the program selects again";
    EXPECT_EQ(window().GetText(cobFilter), "*.txt");
    harness_->TypeAsUser(cobFilter, typed);
    EXPECT_EQ(window().GetListIndex(cobFilter), -1);
    EXPECT_EQ(window().GetText(cobFilter), typed);
  }
}

// After a failed dir a bare "exit" gives 0 under some interpreters: only the words tell.
TEST_F(PlatformContract, ARunIsOverWhenItReturnsWithTheWordsAndExitCode) {
  const struct {
    const char* folder;  // under the scratch folder
    const char* exitLine;
    std::optional<int> exitCode;
    bool words;
    bool byVariables = false;  // the folders named as %QUERNEL_FOLDER% and %QUERNEL_WORK_FOLDER%
  } cases[] = {{"", "exit", 0, false},
               {"\\nope", "exit", std::nullopt, true},
               {"", "exit 3", 3, false},
               {"", "exit", 0, false, true}};
  const Text folder = harness_->ScratchFolder();
  for (const auto& c : cases) {
    const Text named = c.byVariables ? "%QUERNEL_FOLDER%" : folder + c.folder + "\\";
    const Text work = c.byVariables ? "%QUERNEL_WORK_FOLDER%" : folder;
    std::vector<std::pair<Text, Text>> variables;
    if (c.byVariables) variables = {{"QUERNEL_FOLDER", folder + "\\"}, {"QUERNEL_WORK_FOLDER", folder}};
    const auto end =
        Run("dir \"" + named + "*.*\"  /a /o:n /B >\"" + work + "\\Path.txt\"\r\n" + c.exitLine + "\r\n",
            variables);
    ASSERT_TRUE(end) << end.error();
    EXPECT_EQ(end->exitCode, c.exitCode.value_or(end->exitCode)) << c.exitLine;
    EXPECT_EQ(end->errorOutput.find_first_not_of(" \r\n") != Text::npos, c.words) << end->errorOutput;
    EXPECT_EQ(end->listingFailure, "");
    EXPECT_EQ(harness_->ReadBytes(Scratch("path.txt")).find("path.bat\r\n") != Text::npos, !c.words)
        << "UTF-8 text";
  }
  harness_->MakeInterpreterMissing();
  const auto missing = Run("exit\r\n");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error(), "");
}

// While a listing runs the close box asks whether to stop, and Yes ends the run.
TEST_F(PlatformContract, TheCloseBoxDuringARunAsksToStopAndNeverCloses) {
  for (const bool yes : {false, true}) {
    harness_->PressCloseBoxDuringNextRun();
    int asked = 0;
    const auto end =
        Run("dir \"" + harness_->ScratchFolder() + "\\*.*\" >\"" + Scratch("Path.txt") + "\"\r\nexit\r\n", {},
            [&] { return ++asked, yes; });
    ASSERT_TRUE(end) << end.error();
    EXPECT_EQ(asked, 1) << yes;
    EXPECT_EQ(end->stopped, yes);
    EXPECT_TRUE(harness_->FormIsOpen()) << yes;
  }
}

TEST_F(PlatformContract, TheProgramsFoldersHaveNoTrailingSeparator) {
  for (const Text& f : {window().ProgramFolder(), window().UserWorkFolder()}) {
    EXPECT_GT(f.size(), 3u) << f;
    EXPECT_FALSE(f.ends_with('\\')) << f;
    EXPECT_FALSE(f.ends_with('/')) << f;
  }
}

// Another window waits for a work folder's lock, and gives up after its patience.
TEST_F(PlatformContract, AFolderLockIsHeldByOneAtATime) {
  using std::chrono::milliseconds;
  const Text folder = harness_->ScratchFolder(), other = Scratch("other");
  ASSERT_TRUE(files().MakeFolders(other));
  auto held = window().LockFolder(folder, milliseconds(0));
  ASSERT_TRUE(held);
  EXPECT_FALSE(window().LockFolder(folder, milliseconds(200)));
  EXPECT_TRUE(window().LockFolder(other, milliseconds(0))) << "another folder's lock is another lock";
  held.reset();
  EXPECT_TRUE(window().LockFolder(folder, milliseconds(0)));
}

TEST_F(PlatformContract, FilesAreWrittenWholeAndFoldersMadeWithTheirParents) {
  const std::string gbk = "dir \"D:\\\xD2\xF4\xC0\xD6\\*.*\"\r\nexit\r\n";  // 音乐 in GBK
  ASSERT_TRUE(files().WriteNewFile(Scratch("path.txt"), "a much longer first version of the file"));
  ASSERT_TRUE(files().WriteNewFile(Scratch("path.txt"), gbk));
  EXPECT_EQ(harness_->ReadBytes(Scratch("path.txt")), gbk);
  EXPECT_TRUE(files().FileExists(Scratch("path.txt")));
  EXPECT_TRUE(files().RemoveFile(Scratch("path.txt")));
  EXPECT_FALSE(files().FileExists(Scratch("path.txt")));
  const FileResult written = files().WriteNewFile(Scratch("missing\\path.bat"), "x");
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().reason, "");
  const Text nested = Scratch("工作\\Quernel");
  EXPECT_FALSE(files().CanCreateFilesIn(nested));
  ASSERT_TRUE(files().MakeFolders(nested));
  EXPECT_TRUE(files().CanCreateFilesIn(nested));
  EXPECT_TRUE(files().MakeFolders(nested)) << "an existing folder is fine";
  EXPECT_TRUE(files().WriteNewFile(nested + "\\path.bat", "x"));
  EXPECT_GT(files().FreeBytesIn(harness_->ScratchFolder()).value_or(0), 0u);
}

TEST_F(PlatformContract, RemovingAMissingFileFailsAsNotFoundAFolderOtherwiseAndReadOnlyFilesGo) {
  const FileResult missing = files().RemoveFile(Scratch("path.txt"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, FileFailure::NotFound);
  ASSERT_TRUE(files().MakeFolders(Scratch("path.txt")));
  const FileResult folder = files().RemoveFile(Scratch("path.txt"));
  ASSERT_FALSE(folder);
  EXPECT_NE(folder.error().reason, "");
  EXPECT_NE(folder.error().kind, FileFailure::NotFound) << "something is there: it must not pass for gone";
  ASSERT_TRUE(files().WriteNewFile(Scratch("old.txt"), "old listing"));
  const bool readOnly = harness_->MakeReadOnly(Scratch("old.txt"));  // where the platform has them
  EXPECT_TRUE(files().RemoveFile(Scratch("old.txt"))) << readOnly;
  EXPECT_FALSE(files().FileExists(Scratch("old.txt")));
}

// A link of the new file's name is replaced; what it points to, or shares its content with, is kept.
TEST_F(PlatformContract, WritingOverALinkReplacesTheLinkAndLeavesItsTargetAlone) {
  ASSERT_TRUE(files().WriteNewFile(Scratch("precious.txt"), "keep"));
  for (const bool hard : {false, true}) {
    if (!harness_->MakeLink(Scratch("path.bat"), Scratch("precious.txt"), hard)) continue;
    EXPECT_TRUE(files().WriteNewFile(Scratch("path.bat"), "dir\r\nexit\r\n")) << hard;
    EXPECT_EQ(harness_->ReadBytes(Scratch("path.bat")), "dir\r\nexit\r\n");
    EXPECT_EQ(harness_->ReadBytes(Scratch("precious.txt")), "keep") << hard;
    EXPECT_TRUE(files().RemoveFile(Scratch("path.bat")));
  }
  ASSERT_TRUE(files().MakeFolders(Scratch("path.bat")));
  EXPECT_EQ(files().WriteNewFile(Scratch("path.bat"), "dir").error().kind, FileFailure::NotARegularFile);
}

TEST_F(PlatformContract, ACharacterIsEncodedOrRefusedNeverTurnedIntoAQuestionMark) {
  const Text ascii = "dir \"C:\\Tools\\*.*\"  /a /o:-n /l /B >\"C:\\Tools\\Path.txt\"\r\nexit\r\n";
  EXPECT_EQ(harness_->Codes().Encode(ascii), ascii);
  EXPECT_FALSE(harness_->Codes().Name().empty());
  for (const char* text : {"é", "音乐", "€", "Ω", "😀", "\xEF\xBF\xBD"})
    EXPECT_EQ(harness_->Codes().Encode(text).value_or("").find('?'), std::string::npos) << text;
}

}  // namespace
}  // namespace quernel::contract
