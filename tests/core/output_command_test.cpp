// The output command: its steps in order, and how it fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
 public:
  OutputCommand() { w.fake.SimulateInterpreter(); }
  Text Folder() const { return w.ProgramFolder(); }
  Text BatchPath() const { return Folder() + Text(texts::kBatchFileName); }
  Text ListingPath() const { return Folder() + Text(texts::kListingFileName); }
  void Output() { w.window().UserClick(cmdOut); }
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
  EXPECT_THAT(w.fake.journal,
              ElementsAre("pointer 11", "remove " + listing, "write " + batch, "launch 0 \"" + batch + "\"",
                          "wait", "pointer 0", std::string("message 64 ") + kNotice,
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

TEST_F(OutputCommand, ChineseFoldersPassWhereTheCodePageHoldsThem) {
  w.fake.codePage.kind = fake::FakeCodePage::Kind::Utf8;
  w.window().UserType(txtPath, "D:\\音乐");
  Output();
  EXPECT_THAT(w.BatchFile(), HasSubstr("D:\\音乐\\*.*"));
}

// --- Failures that used to pass for success ---------------------------------------

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
    RunEndCase{"KilledBySignal", {-1, ""}, {"(退出代码 -1)"}, {}},
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

// --- Refusals: one error box, nothing run --------------------------------------------

struct Refusal {
  const char* name;
  std::function<void(OutputCommand&)> arrange;
  std::vector<Text> words;  // in the box; {B}: the batch file, {L}: the listing, {W}: the user's folder
  enum { TouchesNothing, Removes, TriesToWrite } reach = TouchesNothing;
};

class Refused : public OutputCommand, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, ShowsOneErrorAndRunsNothing) {
  const Text precious = w.fake.Root() + "\\precious.txt";
  ASSERT_TRUE(w.fake.files.WriteNewFile(precious, "keep me").ok);
  ASSERT_TRUE(w.fake.files.WriteNewFile(ListingPath(), "the last listing").ok);
  GetParam().arrange(*this);
  w.fake.journal.clear();
  Output();
  EXPECT_EQ(OnlyMessage().style, MessageStyle::Error);
  for (Text word : GetParam().words) {
    for (auto [mark, value] :
         {std::pair{"{B}", BatchPath()}, {"{L}", ListingPath()}, {"{W}", w.window().UserWorkFolder()}})
      if (auto at = word.find(mark); at != Text::npos) word.replace(at, 3, value);
    EXPECT_THAT(OnlyMessage().prompt, HasSubstr(word));
  }
  EXPECT_FALSE(LaunchedAnything()) << "a stale batch file is never run";
  EXPECT_EQ(w.window().Pointer(), MousePointer::Default);
  EXPECT_EQ(w.ReadFile(precious), "keep me");
  const auto reach = GetParam().reach;
  for (const Text& line : w.fake.journal) {
    EXPECT_FALSE(reach != Refusal::TriesToWrite && (line.starts_with("write") || line.starts_with("make")))
        << line;
    EXPECT_FALSE(reach == Refusal::TouchesNothing && line.starts_with("remove")) << line;
  }
  if (reach == Refusal::TouchesNothing) {
    EXPECT_EQ(w.ReadFile(ListingPath()), "the last listing");
  }
}

namespace fs = std::filesystem;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Refused, ::testing::Values(
    Refusal{"QuoteInFolder", [](auto& f) { f.w.window().UserType(txtPath, "D:\\a\"b"); }, {"“文件夹”"}},
    Refusal{"LineBreakInFolder", [](auto& f) { f.w.window().UserType(txtPath, "D:\\Docs\r\ndel *.*"); }, {"“文件夹”"}},
    Refusal{"TabInFolder", [](auto& f) { f.w.window().UserType(txtPath, "D:\\Docs\t"); }, {"“文件夹”"}},
    Refusal{"QuoteInPattern", [](auto& f) { f.w.window().UserType(cobFilter, "*.txt\" & del \"*"); }, {"“后缀过滤”"}},
    Refusal{"LineFeedInPattern", [](auto& f) { f.w.window().UserType(cobFilter, "*.txt\n"); }, {"“后缀过滤”"}},
    Refusal{"NulInPattern", [](auto& f) { f.w.window().UserType(cobFilter, std::string("*\0.txt", 6)); },
            {"“后缀过滤”"}},
    Refusal{"FolderNotInTheCodePageWithoutAShortName", [](auto& f) { f.w.window().UserType(txtPath, "D:\\音乐"); },
            {"“音”", "28591"}},
    Refusal{"PatternNotInTheCodePage", [](auto& f) { f.w.window().UserType(cobFilter, "歌*.mp3"); },
            {"“后缀过滤”中的字符“歌”"}},
    Refusal{"BatchTextNotInTheCodePage", [](auto& f) { f.w.fake.codePage.refusedWhenContaining = "\r\nexit"; },
            {"28591"}},
    Refusal{"NoFolderCanBeWritten", [](auto& f) {
              ASSERT_TRUE(f.w.fake.files.WriteNewFile(f.BatchPath(), "stale").ok);
              f.w.fake.files.readOnlyFolders = {f.Folder(), f.w.window().UserWorkFolder()};
            }, {"{W}\\path.bat", "Permission denied"}, Refusal::TriesToWrite},
    Refusal{"OldListingCannotBeRemoved", [](auto& f) {
              fs::remove(fake::FakeFileSystem::HostPath(f.ListingPath()));
              fs::create_directories(fake::FakeFileSystem::HostPath(f.ListingPath()));
            }, {"{L}", "Is a directory"}, Refusal::Removes},
    Refusal{"BatchFileNameTakenByALink", [](auto& f) {
              fs::create_symlink(fake::FakeFileSystem::HostPath(f.w.fake.Root() + "\\precious.txt"),
                                 fake::FakeFileSystem::HostPath(f.BatchPath()));
            }, {"{B}", "不是普通文件"}, Refusal::TriesToWrite},
    Refusal{"UsersFolderWithAQuote", [](auto& f) {
              f.w.fake.files.readOnlyFolders = {f.Folder()};
              f.w.window().SetUserWorkFolder(f.w.fake.Root() + "\\a\"b");
            }, {"工作文件夹", "a\"b"}}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

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
