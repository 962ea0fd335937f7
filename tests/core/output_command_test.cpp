// The output command: its steps in order, and how it fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "design/program_texts.h"
#include "loaded_window.h"

namespace quernel {
namespace {

using enum ControlId;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::LoadedWindow;

constexpr const char* kNotice = "文件列表已输出到临时文件中!\r\r请另存为其它文件或复制内容到其它文件!";

class OutputCommand : public ::testing::Test {
 protected:
  OutputCommand() { w.fake.SimulateInterpreter(); }
  Text Folder() const { return w.ProgramFolder(); }
  Text BatchPath() const { return Folder() + Text(texts::kBatchFileName); }
  Text ListingPath() const { return Folder() + Text(texts::kListingFileName); }
  void Output() { w.window().UserClick(cmdOut); }
  bool Wrote(const Text& path) const {
    return std::count(w.fake.journal.begin(), w.fake.journal.end(), "write " + path) > 0;
  }
  bool LaunchedAnything() const { return !w.window().Launches().empty(); }
  const fake::Message& OnlyMessage() const {
    EXPECT_EQ(w.window().Messages().size(), 1u);
    return w.window().Messages().front();
  }

  LoadedWindow w;
};

TEST_F(OutputCommand, RunsItsStepsInOrderAndWaitsForTheListingBeforeTheNotice) {
  w.window().UserType(txtPath, "D:\\Docs");
  Output();
  const Text batch = Folder() + "\\path.bat", listing = Folder() + "\\path.txt";  // the names, as written
  EXPECT_THAT(w.fake.journal, ElementsAre("pointer 11", "remove " + listing, "write " + batch,
                                          "launch 0 \"" + batch + "\"", "wait", "pointer 0",
                                          std::string("message 64 ") + kNotice,
                                          "launch 1 notepad.exe \"" + listing + "\""));
  EXPECT_EQ(w.window().Pointer(), MousePointer::Default);
}

TEST_F(OutputCommand, TheHiddenRunDoesNotInheritDirPresetsAndKeepsItsErrorOutput) {
  Output();
  ASSERT_EQ(w.window().Launches().size(), 2u);
  EXPECT_EQ(w.window().Launches()[0].unsetEnvironment, std::vector<Text>{"DIRCMD"});
  EXPECT_TRUE(w.window().Launches()[0].keepErrorOutput);
  EXPECT_FALSE(w.window().Launches()[1].keepErrorOutput) << "the viewer's is not read";
}

TEST_F(OutputCommand, TwoRunsInARowLeaveOneBatchFileWithTheSecondCommand) {
  w.window().UserType(txtPath, "D:\\One");
  Output();
  w.window().UserType(txtPath, "D:\\Two");
  w.fake.journal.clear();
  Output();
  EXPECT_THAT(w.BatchFile(), HasSubstr("D:\\Two\\*.*"));
  EXPECT_EQ(w.fake.journal[1], "remove " + ListingPath()) << "the first listing goes first";
  EXPECT_EQ(w.window().Launches().size(), 4u);
}

// --- Input that must not reach the batch file -----------------------------------

struct ForbiddenInput {
  std::string folder;
  std::string pattern;
  const char* namedField;
};

class ForbiddenCharacters : public OutputCommand, public ::testing::WithParamInterface<ForbiddenInput> {};

TEST_P(ForbiddenCharacters, AreRefusedNamingTheFieldAndNothingIsTouched) {
  const Text oldListing = "the last listing";
  ASSERT_TRUE(w.fake.files.WriteNewFile(ListingPath(), oldListing).ok);
  w.window().UserType(txtPath, GetParam().folder);
  w.window().UserType(cobFilter, GetParam().pattern);
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(GetParam().namedField));
  EXPECT_FALSE(w.fake.files.FileExists(BatchPath()));
  EXPECT_EQ(w.ReadFile(ListingPath()), oldListing);
  EXPECT_FALSE(LaunchedAnything());
  EXPECT_EQ(w.window().Pointer(), MousePointer::Default);
}

INSTANTIATE_TEST_SUITE_P(InFolderOrPattern, ForbiddenCharacters,
                         ::testing::Values(ForbiddenInput{"D:\\a\"b", "*.*", "“文件夹”"},
                                           ForbiddenInput{"D:\\Docs\r\ndel *.*", "*.*", "“文件夹”"},
                                           ForbiddenInput{"D:\\Docs\t", "*.*", "“文件夹”"},
                                           ForbiddenInput{"D:\\Docs", "*.txt\" & del \"*", "“后缀过滤”"},
                                           ForbiddenInput{"D:\\Docs", "*.txt\n", "“后缀过滤”"},
                                           ForbiddenInput{"D:\\Docs", std::string("*\0.txt", 6),
                                                          "“后缀过滤”"}));

TEST_F(OutputCommand, PercentSignsReachCmdAsTheyWereTyped) {
  w.window().UserType(txtPath, "D:\\100%");
  w.window().UserType(cobFilter, "%PATH%.*");
  Output();
  EXPECT_THAT(w.BatchFile(), HasSubstr(R"(dir "D:\100%%\%%PATH%%.*")"));
  EXPECT_EQ(w.form.Options().strFolder, "D:\\100%\\");
}

// --- The batch file's code page ----------------------------------------------------

TEST_F(OutputCommand, TheBatchFileIsInTheInterpretersCodePage) {
  w.window().UserType(txtPath, "D:\\Café");
  Output();
  EXPECT_THAT(w.BatchFile(), HasSubstr("D:\\Caf\xE9\\*.*"));  // Latin-1: one byte
}

TEST_F(OutputCommand, AFolderTheCodePageLacksIsListedByItsShortName) {
  w.fake.files.shortPaths["D:\\音乐"] = "D:\\YINYUE~1";
  w.window().UserType(txtPath, "D:\\音乐");
  Output();
  EXPECT_THAT(w.BatchFile(), HasSubstr(R"(dir "D:\YINYUE~1\*.*")"));
  EXPECT_TRUE(w.window().Messages().size() == 1 &&
              w.window().Messages()[0].style == MessageStyle::Information);
}

TEST_F(OutputCommand, AFolderTheCodePageLacksWithoutAShortNameIsRefused) {
  w.window().UserType(txtPath, "D:\\音乐");
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("“音”"));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("28591"));
  EXPECT_FALSE(w.fake.files.FileExists(BatchPath()));
  EXPECT_FALSE(LaunchedAnything());
}

TEST_F(OutputCommand, APatternTheCodePageLacksIsRefused) {
  w.window().UserType(cobFilter, "歌*.mp3");
  Output();
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("“后缀过滤”中的字符“歌”"));
  EXPECT_FALSE(LaunchedAnything());
}

TEST_F(OutputCommand, ChineseFoldersPassWhereTheCodePageHoldsThem) {
  w.fake.codePage.kind = fake::FakeCodePage::Kind::Utf8;
  w.window().UserType(txtPath, "D:\\音乐");
  Output();
  EXPECT_THAT(w.BatchFile(), HasSubstr("D:\\音乐\\*.*"));
}

// --- Failures that used to pass for success ---------------------------------------

TEST_F(OutputCommand, ABatchFileThatCannotBeWrittenIsReportedAndNothingRuns) {
  ASSERT_TRUE(w.fake.files.WriteNewFile(BatchPath(), "stale").ok);
  w.fake.files.readOnlyFolders = {Folder(), w.window().UserWorkFolder()};
  Output();
  const Text userBatch = w.window().UserWorkFolder() + Text(texts::kBatchFileName);
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(userBatch));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("Permission denied"));
  EXPECT_FALSE(LaunchedAnything()) << "a stale batch file is never run";
}

TEST_F(OutputCommand, ABatchFileThatCannotStartIsReportedWithoutViewer) {
  w.window().onLaunch = [](const LaunchRequest&) { return Launch{nullptr, "找不到文件"}; };
  Output();
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(BatchPath()));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("找不到文件"));
  EXPECT_EQ(w.window().Launches().size(), 1u);
  EXPECT_EQ(w.window().Pointer(), MousePointer::Default);
}

TEST_F(OutputCommand, AMissingListingReplacesTheNoticeAndNoViewerOpens) {
  w.window().onLaunch = nullptr;  // the run writes nothing
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(ListingPath()));
  EXPECT_EQ(w.window().Launches().size(), 1u);
}

TEST_F(OutputCommand, AViewerThatCannotStartSaysWhereTheListingIs) {
  auto interpreter = w.window().onLaunch;
  w.window().onLaunch = [&](const LaunchRequest& request) {
    return request.commandLine.starts_with("notepad.exe") ? Launch{nullptr, "no viewer"}
                                                          : interpreter(request);
  };
  Output();
  ASSERT_EQ(w.window().Messages().size(), 2u);
  EXPECT_EQ(w.window().Messages()[0].prompt, kNotice);
  EXPECT_EQ(w.window().Messages()[1].style, MessageStyle::Error);
  EXPECT_THAT(w.window().Messages()[1].prompt, HasSubstr(ListingPath()));
}

// --- How the hidden run ended ---------------------------------------------------------

struct RunEndCase {
  const char* name;
  ProcessEnd end;
  std::vector<std::string> quoted;  // what the error box must hold; none: a success
  std::vector<std::string> notQuoted;
};

class HiddenRunEnd : public OutputCommand, public ::testing::WithParamInterface<RunEndCase> {};

TEST_P(HiddenRunEnd, AnErrorOutputOrExitCodeIsAFailureWithoutViewer) {
  w.fake.SimulateInterpreter("part of a listing\r\n", GetParam().end);
  Output();
  if (GetParam().quoted.empty()) {
    EXPECT_EQ(OnlyMessage().prompt, kNotice);
    EXPECT_EQ(w.window().Launches().size(), 2u);
    return;
  }
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("文件列表没有完成"));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(ListingPath()));
  for (const std::string& text : GetParam().quoted) EXPECT_THAT(OnlyMessage().prompt, HasSubstr(text));
  for (const std::string& text : GetParam().notQuoted)
    EXPECT_THAT(OnlyMessage().prompt, ::testing::Not(HasSubstr(text)));
  EXPECT_EQ(w.window().Launches().size(), 1u) << "no viewer";
  EXPECT_EQ(w.ReadFile(ListingPath()), "part of a listing\r\n") << "the listing stays to be looked at";
  EXPECT_EQ(w.window().Pointer(), MousePointer::Default);
}

const std::string kLongLine(150, 'x');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, HiddenRunEnd, ::testing::Values(
    RunEndCase{"Success", {0, ""}, {}, {}},
    RunEndCase{"OnlyBlankLines", {0, "\r\n  \r\n"}, {}, {}},
    RunEndCase{"FolderNotFound", {0, "找不到文件。\r\n\r\n"}, {"\r找不到文件。\r"}, {"退出代码"}},
    RunEndCase{"InvalidSwitch", {0, "无效参数。\r\n"}, {"无效参数。"}, {}},
    RunEndCase{"ExitCodeAlone", {1, ""}, {"(退出代码 1)"}, {}},
    RunEndCase{"WordsAndExitCode", {1, "拒绝访问。\n"}, {"拒绝访问。\r(退出代码 1)"}, {}},
    RunEndCase{"AFewLinesCutShort",
               {0, "  one\tline  \r\n\r\ntwo\nthree\n" + kLongLine + "\nfive\n"},
               {"one line\rtwo\rthree\r……"}, {"five", "xxxxx"}},
    RunEndCase{"ALongLineIsCut", {0, "找" + kLongLine + "\n"},
               {"找" + std::string(99, 'x') + "…\r"}, {std::string(100, 'x')}}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

TEST_F(OutputCommand, ADiskFullAfterASilentRunIsAFailureWithoutViewer) {
  for (const std::uint64_t free : {std::uint64_t{0}, std::uint64_t{4095}, std::uint64_t{4096}}) {
    LoadedWindow fresh;
    fresh.fake.SimulateInterpreter();
    fresh.fake.files.freeBytes = free;
    fresh.window().UserClick(cmdOut);
    ASSERT_EQ(fresh.window().Messages().size(), 1u);
    const bool full = free < 4096;
    EXPECT_EQ(fresh.window().Messages()[0].style, full ? MessageStyle::Error : MessageStyle::Information);
    EXPECT_EQ(fresh.window().Launches().size(), full ? 1u : 2u) << free;
    if (full) {
      EXPECT_THAT(fresh.window().Messages()[0].prompt, HasSubstr("磁盘已满"));
    }
  }
}

// --- What already sits where the work files go -------------------------------------

TEST_F(OutputCommand, AnOldListingThatCannotBeRemovedStopsEverything) {
  std::filesystem::create_directories(fake::FakeFileSystem::HostPath(ListingPath()));
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(ListingPath()));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("Is a directory"));
  EXPECT_FALSE(Wrote(BatchPath()));
  EXPECT_FALSE(LaunchedAnything());
}

TEST_F(OutputCommand, ABatchFileNameTakenByALinkIsNeitherFollowedNorRun) {
  const Text target = w.fake.Root() + "\\precious.txt";
  ASSERT_TRUE(w.fake.files.WriteNewFile(target, "keep me").ok);
  std::filesystem::create_symlink(fake::FakeFileSystem::HostPath(target),
                                  fake::FakeFileSystem::HostPath(BatchPath()));
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr(BatchPath()));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("不是普通文件"));
  EXPECT_EQ(w.ReadFile(target), "keep me");
  EXPECT_FALSE(LaunchedAnything());
}

TEST_F(OutputCommand, ABatchTextTheCodePageRefusesWritesNoEmptyBatchFile) {
  w.fake.codePage.refusedWhenContaining = "\r\nexit";
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("28591"));
  EXPECT_FALSE(Wrote(BatchPath()));
  EXPECT_FALSE(LaunchedAnything());
}

// --- A program folder that cannot be written ---------------------------------------

TEST_F(OutputCommand, AProgramFolderWithAQuoteOrControlCharacterSendsTheWorkToTheUsersFolder) {
  for (const char* name : {"x\"", "x\"\r\ndir", "tab\there"}) {
    LoadedWindow fresh;
    fresh.fake.SimulateInterpreter();
    const Text folder = fresh.fake.Root() + "\\" + name;
    ASSERT_TRUE(fresh.fake.files.MakeFolders(folder).ok);
    fresh.window().SetProgramFolder(folder);
    fresh.window().UserClick(cmdOut);
    const Text batch = fresh.window().UserWorkFolder() + Text(texts::kBatchFileName);
    EXPECT_TRUE(fresh.fake.files.FileExists(batch)) << name;
    EXPECT_FALSE(fresh.fake.files.FileExists(folder + Text(texts::kBatchFileName))) << name;
    ASSERT_EQ(fresh.window().Launches().size(), 2u) << name;
    EXPECT_EQ(fresh.window().Launches()[0].commandLine, "\"" + batch + "\"");
  }
}

TEST_F(OutputCommand, AUsersFolderWithAQuoteTooIsRefused) {
  w.fake.files.readOnlyFolders = {Folder()};
  w.window().SetUserWorkFolder(w.fake.Root() + "\\a\"b");
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("工作文件夹"));
  EXPECT_THAT(OnlyMessage().prompt, HasSubstr("a\"b"));
  EXPECT_TRUE(std::none_of(w.fake.journal.begin(), w.fake.journal.end(), [](const Text& line) {
    return line.starts_with("write") || line.starts_with("make");
  }));
  EXPECT_FALSE(LaunchedAnything());
}

TEST_F(OutputCommand, AReadOnlyProgramFolderSendsTheWorkToTheUsersFolder) {
  w.fake.files.readOnlyFolders = {Folder()};
  const Text work = w.window().UserWorkFolder();
  w.window().UserType(txtPath, "D:\\Docs");
  Output();
  EXPECT_EQ(w.ReadFile(work + "\\path.bat"),
            "dir \"D:\\Docs\\*.*\"    /o:n /B >\"" + work + "\\Path.txt\"\r\nexit\r\n");
  EXPECT_FALSE(w.fake.files.FileExists(BatchPath()));
  EXPECT_EQ(w.window().Launches().back().commandLine, "notepad.exe \"" + work + "\\path.txt\"");

  w.form.Unload();
  EXPECT_FALSE(w.fake.files.FileExists(work + Text(texts::kBatchFileName)));
  EXPECT_TRUE(w.fake.files.FileExists(work + Text(texts::kListingFileName)));
}

}  // namespace
}  // namespace quernel
