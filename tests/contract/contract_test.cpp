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
    const auto failure = window().CreateForm(events_);
    ASSERT_FALSE(failure) << *failure;
  }
  WindowRuntime& window() { return harness_->Window(); }
  FileSystem& files() { return harness_->Files(); }
  Text Scratch(const char* name) { return harness_->ScratchFolder() + "\\" + name; }
  void FillList(ControlId list, std::initializer_list<const char*> entries) {
    for (const char* entry : entries) window().AddItem(list, entry);
  }

  testing::RecordingEvents events_;  // outlives the window that raises into it
  std::unique_ptr<ContractHarness> harness_;
};

// --- The window as designed ------------------------------------------------------

TEST_F(PlatformContract, FormStartsInItsDesignedState) {
  for (const ControlDesign& design : ControlDesigns()) {
    SCOPED_TRACE(std::string(design.name));
    EXPECT_EQ(window().IsEnabled(design.id), design.enabled);
    switch (design.kind) {
      case ControlKind::CheckBox:
      case ControlKind::OptionButton:
        EXPECT_EQ(window().GetValue(design.id), design.value);
        break;
      case ControlKind::PickList:
      case ControlKind::EditableList:
        EXPECT_EQ(window().GetListIndex(design.id), -1);
        EXPECT_EQ(window().GetText(design.id), "");
        break;
      case ControlKind::TextField:
        EXPECT_EQ(window().GetText(design.id), "");
        break;
      default:
        break;
    }
  }
  EXPECT_TRUE(events_.clicks.empty()) << "creating the form raises no Click";
}

// --- The event rule --------------------------------------------------------------

TEST_F(PlatformContract, WritingACheckBoxRaisesItsClickBeforeTheWriteReturns) {
  bool returned = false;
  int valueSeen = -1;
  events_.onClick = [&](ControlId) {
    EXPECT_FALSE(returned);
    valueSeen = window().GetValue(chkL);
  };
  window().SetValue(chkL, 1);
  returned = true;
  EXPECT_EQ(events_.clicks, std::vector{chkL});
  EXPECT_EQ(valueSeen, 1);
}

TEST_F(PlatformContract, AClickThatWritesAnotherBoxRunsItsClickInside) {
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

TEST_F(PlatformContract, WritingTheValueAControlAlreadyHasRaisesNothing) {
  FillList(cobSort, {"一", "二"});
  window().SetValue(chkT, 1);  // checked by design
  window().SetValue(chkL, 0);  // unchecked by design
  window().SetListIndex(cobSort, -1);
  EXPECT_TRUE(events_.clicks.empty());
}

TEST_F(PlatformContract, WritingAListIndexRaisesClickWithTheNewEntrySelected) {
  FillList(cobSort, {"名称", "大小", "日期"});
  EXPECT_TRUE(events_.clicks.empty()) << "adding entries raises no Click";
  int indexSeen = -2;
  Text textSeen;
  events_.onClick = [&](ControlId) {
    indexSeen = window().GetListIndex(cobSort);
    textSeen = window().GetText(cobSort);
  };
  window().SetListIndex(cobSort, 2);
  EXPECT_EQ(events_.clicks, std::vector{cobSort});
  EXPECT_EQ(indexSeen, 2);
  EXPECT_EQ(textSeen, "日期");
}

TEST_F(PlatformContract, OptionButtonsOfOneFrameAreOneGroup) {
  window().SetValue(optR, 1);
  window().SetValue(optH, 1);
  EXPECT_EQ(events_.clicks, (std::vector{optR, optH}));
  EXPECT_EQ(window().GetValue(optR), 0);
  EXPECT_EQ(window().GetValue(optH), 1);
}

TEST_F(PlatformContract, TextsEnabledStatesAndFontsChangeWithoutClicks) {
  const Text folder = "D:\\音乐\\Café 100%";
  window().SetText(txtPath, folder);
  FillList(cobFilter, {"*.*", "*.txt"});
  window().SetText(cobFilter, "歌曲*.mp3");
  window().SetEnabled(optD, false);
  for (const ControlDesign& design : ControlDesigns()) window().SetFontSize(design.id, 9.0);

  EXPECT_EQ(window().GetText(txtPath), folder);
  EXPECT_EQ(window().GetText(cobFilter), "歌曲*.mp3");
  EXPECT_FALSE(window().IsEnabled(optD));
  EXPECT_TRUE(events_.clicks.empty());
}

TEST_F(PlatformContract, TheEditableListShowsThePickedEntryAndNoneOnceTheUserTypes) {
  FillList(cobFilter, {"*.*", "*.txt"});
  window().SetListIndex(cobFilter, 1);
  EXPECT_EQ(window().GetText(cobFilter), "*.txt");
  harness_->TypeAsUser(cobFilter, "*.doc");
  EXPECT_EQ(window().GetListIndex(cobFilter), -1);
  EXPECT_EQ(window().GetText(cobFilter), "*.doc");
  window().SetListIndex(cobFilter, 1);
  EXPECT_EQ(window().GetListIndex(cobFilter), 1) << "a pick by the program selects again";
  EXPECT_EQ(window().GetText(cobFilter), "*.txt");
  harness_->TypeAsUser(cobFilter, "*.*");
  EXPECT_EQ(window().GetListIndex(cobFilter), -1) << "typed, though it reads as an entry";
}

// --- Application ---------------------------------------------------------------------

TEST_F(PlatformContract, FoldersHaveNoTrailingSeparator) {
  for (const Text& folder : {window().ProgramFolder(), window().UserWorkFolder()}) {
    SCOPED_TRACE(folder);
    ASSERT_GT(folder.size(), 3u);
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(folder.back(), '/');
  }
}

TEST_F(PlatformContract, AHiddenBatchRunIsOverWhenTheWaitReturns) {
  const Text batch = Scratch("path.bat");
  const Text listing = Scratch("path.txt");
  const auto bytes =
      harness_->Codes().Encode("dir \"" + harness_->ScratchFolder() + "\\*.*\"  /a /o:n /B >\"" +
                               harness_->ScratchFolder() + "\\Path.txt\"\r\nexit\r\n");
  ASSERT_TRUE(bytes);
  ASSERT_TRUE(files().WriteNewFile(batch, *bytes).ok);

  Launch run = window().LaunchProgram({'"' + batch + '"', WindowStyle::Hidden, {"DIRCMD"}, true});
  ASSERT_TRUE(run.process) << run.failure;
  const ProcessEnd end = window().WaitWhilePainting(*run.process);
  EXPECT_TRUE(files().FileExists(listing));
  EXPECT_FALSE(harness_->ReadBytes(listing).empty());
  EXPECT_EQ(end.exitCode, 0);
  EXPECT_EQ(end.errorOutput, "");
}

// What the interpreter says goes to its error stream, which the launch
// keeps; the exit code is the batch file's. A bare "exit" after a failed dir
// gives 0 under some interpreters: only the words tell there.
TEST_F(PlatformContract, AHiddenRunKeepsTheInterpretersWordsAndExitCode) {
  struct Case {
    const char* name;
    const char* folder;
    const char* exitLine;
    std::optional<int> exitCode;
    bool words;
  };
  const Case cases[] = {
      {"a folder that is not there", "\\nope", "exit", std::nullopt, true},
      {"an exit code", "", "exit 3", 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text folder = harness_->ScratchFolder();
    const auto bytes = harness_->Codes().Encode("dir \"" + folder + c.folder + "\\*.*\"    /o:n /B >\"" +
                                                folder + "\\Path.txt\"\r\n" + c.exitLine + "\r\n");
    ASSERT_TRUE(bytes);
    ASSERT_TRUE(files().WriteNewFile(Scratch("path.bat"), *bytes).ok);
    Launch run = window().LaunchProgram({'"' + Scratch("path.bat") + '"', WindowStyle::Hidden, {}, true});
    ASSERT_TRUE(run.process) << run.failure;
    const ProcessEnd end = window().WaitWhilePainting(*run.process);
    if (c.exitCode) {
      EXPECT_EQ(end.exitCode, *c.exitCode);
    }
    EXPECT_EQ(end.errorOutput.find_first_not_of(" \r\n") != Text::npos, c.words) << end.errorOutput;
  }
}

TEST_F(PlatformContract, AProgramThatCannotStartIsAFailureWithAReason) {
  Launch run = window().LaunchProgram({harness_->MissingProgramCommandLine(), WindowStyle::Hidden, {}});
  EXPECT_FALSE(run.process);
  EXPECT_FALSE(run.failure.empty());
}

// --- File system -------------------------------------------------------------------

TEST_F(PlatformContract, AWrittenFileHoldsExactlyItsBytesAndIsReplacedWhole) {
  const Text path = Scratch("path.bat");
  const std::string gbk = "dir \"D:\\\xD2\xF4\xC0\xD6\\*.*\"\r\nexit\r\n";  // 音乐 in GBK
  ASSERT_TRUE(files().WriteNewFile(path, "a much longer first version of the file").ok);
  ASSERT_TRUE(files().WriteNewFile(path, gbk).ok);
  EXPECT_EQ(harness_->ReadBytes(path), gbk);
}

TEST_F(PlatformContract, NamesAreFoundRegardlessOfCase) {
  ASSERT_TRUE(files().WriteNewFile(Scratch("Path.txt"), "x").ok);
  EXPECT_TRUE(files().FileExists(Scratch("path.txt")));
  EXPECT_TRUE(files().RemoveFile(Scratch("path.txt")).ok);
  EXPECT_FALSE(files().FileExists(Scratch("Path.txt")));
}

TEST_F(PlatformContract, RemovingAMissingFileFailsAsNotFoundAndAFolderOtherwise) {
  const FileResult missing = files().RemoveFile(Scratch("path.txt"));
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.failure, FileFailure::NotFound);
  ASSERT_TRUE(files().MakeFolders(Scratch("path.txt")).ok);
  const FileResult folder = files().RemoveFile(Scratch("path.txt"));
  EXPECT_FALSE(folder.ok);
  EXPECT_NE(folder.failure, FileFailure::NotFound) << "something is there: it must not pass for gone";
  EXPECT_FALSE(folder.reason.empty());
}

TEST_F(PlatformContract, ReadOnlyFilesAreRemovedToo) {
  const Text path = Scratch("path.txt");
  ASSERT_TRUE(files().WriteNewFile(path, "old listing").ok);
  if (!harness_->MakeReadOnly(path)) GTEST_SKIP() << "no read-only files on this platform";
  EXPECT_TRUE(files().RemoveFile(path).ok);
  EXPECT_FALSE(files().FileExists(path));
}

TEST_F(PlatformContract, WritingOverALinkLeavesItAndItsTargetAlone) {
  const Text target = Scratch("precious.txt");
  ASSERT_TRUE(files().WriteNewFile(target, "keep").ok);
  if (!harness_->MakeLink(Scratch("path.bat"), target)) GTEST_SKIP() << "no symbolic links here";
  const FileResult written = files().WriteNewFile(Scratch("path.bat"), "dir\r\nexit\r\n");
  EXPECT_FALSE(written.ok);
  EXPECT_EQ(written.failure, FileFailure::NotARegularFile);
  EXPECT_EQ(harness_->ReadBytes(target), "keep");
}

TEST_F(PlatformContract, WritingIntoAMissingFolderFailsWithTheSystemsReason) {
  const FileResult written = files().WriteNewFile(Scratch("missing\\path.bat"), "x");
  EXPECT_FALSE(written.ok);
  EXPECT_FALSE(written.reason.empty());
}

TEST_F(PlatformContract, TheFreeSpaceOfAFoldersDiskIsKnown) {
  const auto free = files().FreeBytesIn(harness_->ScratchFolder());
  ASSERT_TRUE(free);
  EXPECT_GT(*free, 0u);
}

TEST_F(PlatformContract, FoldersAreMadeWithTheirParents) {
  const Text nested = Scratch("工作\\Quernel");
  EXPECT_FALSE(files().CanCreateFilesIn(nested));
  ASSERT_TRUE(files().MakeFolders(nested).ok);
  EXPECT_TRUE(files().CanCreateFilesIn(nested));
  EXPECT_TRUE(files().MakeFolders(nested).ok) << "an existing folder is fine";
  EXPECT_TRUE(files().WriteNewFile(nested + "\\path.bat", "x").ok);
}

// --- Code page -----------------------------------------------------------------------

TEST_F(PlatformContract, AsciiPassesUnchanged) {
  const Text ascii = "dir \"C:\\Tools\\*.*\"  /a /o:-n /l /B >\"C:\\Tools\\Path.txt\"\r\nexit\r\n";
  EXPECT_EQ(harness_->Codes().Encode(ascii), ascii);
  EXPECT_FALSE(harness_->Codes().Name().empty());
}

TEST_F(PlatformContract, ACharacterIsEncodedOrRefusedNeverTurnedIntoAQuestionMark) {
  for (const char* text : {"é", "音乐", "€", "Ω", "😀", "\xEF\xBF\xBD"}) {
    SCOPED_TRACE(text);
    const auto bytes = harness_->Codes().Encode(text);
    if (bytes) {
      EXPECT_EQ(bytes->find('?'), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace quernel::contract
