#include "core/listing_options.h"

#include <gtest/gtest.h>

#include "loaded_window.h"

namespace quernel {
namespace {

using enum ControlId;
using testing::LoadedWindow;

// The listing command for C:\Tools as the program folder, after the user's
// choices, and the batch file the output command writes.
struct WorkedExample {
  const char* name;
  std::function<void(fake::FakeWindowRuntime&)> choose;
  const char* command;
};

class WorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExamples, GiveTheCommandByteForByte) {
  LoadedWindow w;
  w.fake.SimulateInterpreter();
  GetParam().choose(w.window());
  w.window().UserClick(cmdOut);

  EXPECT_EQ(ListingCommand(w.form.Options(), "C:\\Tools"), GetParam().command);
  Text expectedBatch = GetParam().command;
  expectedBatch.replace(expectedBatch.find("C:\\Tools"), 8, w.ProgramFolder());
  EXPECT_EQ(w.BatchFile(), expectedBatch + "\r\nexit\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    ListingCommand, WorkedExamples,
    ::testing::Values(WorkedExample{"StartUpState", [](auto& w) { w.UserType(txtPath, "D:\\Docs"); },
                                    R"(dir "D:\Docs\*.*"    /o:n /B >"C:\Tools\Path.txt")"},
                      WorkedExample{"HiddenMp3sByNameDescendingLowerCase",
                                    [](auto& w) {
                                      w.UserType(txtPath, "D:\\Music\\");
                                      w.UserPick(cobFilter, 2);
                                      w.UserPick(cobType, 2);
                                      w.UserClick(optH);
                                      w.UserPick(cobWay, 2);
                                      w.UserClick(chkL);
                                    },
                                    R"(dir "D:\Music\*.mp3"  /a:h /o:-n /l /B >"C:\Tools\Path.txt")"},
                      WorkedExample{"ShowAll",
                                    [](auto& w) {
                                      w.UserType(txtPath, "D:\\Docs");
                                      w.UserPick(cobType, 1);
                                    },
                                    R"(dir "D:\Docs\*.*"  /a  /o:n /B >"C:\Tools\Path.txt")"},
                      WorkedExample{"ShowChosenKindBeforeAnyButton",
                                    [](auto& w) {
                                      w.UserType(txtPath, "D:\\");
                                      w.UserPick(cobType, 2);
                                    },
                                    R"(dir "D:\*.*"  /a:  /o:n /B >"C:\Tools\Path.txt")"},
                      WorkedExample{"EmptyFolderAndPatternWideBySizeHidingSystem",
                                    [](auto& w) {
                                      w.UserType(cobFilter, "");
                                      w.UserPick(cobType, 3);
                                      w.UserClick(optS);
                                      w.UserPick(cobSort, 1);
                                      w.UserClick(chkW);
                                    },
                                    R"(dir "\"  /a:-s /o:s /w >"C:\Tools\Path.txt")"},
                      WorkedExample{"PatternOfSeveralWordsNeitherStyleBox",
                                    [](auto& w) {
                                      w.UserType(txtPath, "E:\\My Files");
                                      w.UserType(cobFilter, "a b*.doc");
                                      w.UserClick(chkT);
                                      w.UserPick(cobSort, 4);
                                      w.UserPick(cobWay, 1);
                                    },
                                    R"(dir "E:\My Files\a b*.doc"    /o:e >"C:\Tools\Path.txt")"}),
    [](const auto& example) { return std::string(example.param.name); });

TEST(FolderWithBackslash, AddsOneOnlyWhereTheLastCharacterIsNotOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"D:\\Docs", "D:\\Docs\\"},   {"D:\\Docs\\", "D:\\Docs\\"}, {"D:\\", "D:\\"}, {"", "\\"},
      {"D:\\Docs/", "D:\\Docs/\\"}, {"音乐", "音乐\\"},
  };
  for (const auto& [typed, folder] : cases) EXPECT_EQ(FolderWithBackslash(typed), folder) << typed;
}

}  // namespace
}  // namespace quernel
