// Browse, About and Help.

#include <gtest/gtest.h>

#include "loaded_window.h"

namespace quernel {
namespace {

using enum ControlId;
using testing::LoadedWindow;

struct PickCase {
  const char* before;
  std::string answer;  // what the shell gives; empty: cancelled
  const char* after;
};

TEST(Browse, PutsThePickedFolderInTheFieldAndKeepsItOnCancel) {
  const PickCase cases[] = {
      {"", "D:\\Music", "D:\\Music"},
      {"C:\\Old", "D:\\音乐", "D:\\音乐"},
      {"", "D:\\", "D:\\"},                                   // a drive's root is kept as given
      {"", std::string("D:\\Music\0\0\0", 11), "D:\\Music"},  // the buffer's zeros are cut
      {"C:\\Kept", "", "C:\\Kept"},                           // cancel keeps what was typed
  };
  for (const auto& c : cases) {
    LoadedWindow w;
    w.window().UserType(txtPath, c.before);
    w.fake.shell.folderAnswers = {c.answer};
    w.window().UserClick(cmdBrowse);
    EXPECT_EQ(w.window().GetText(txtPath), c.after) << c.answer;
  }
}

TEST(Browse, AsksTheShellOwnedByTheWindowWithThePrompt) {
  LoadedWindow w;
  w.window().UserClick(cmdBrowse);
  ASSERT_EQ(w.fake.shell.pickerRequests.size(), 1u);
  EXPECT_EQ(w.fake.shell.pickerRequests[0].owner, fake::FakeWindowRuntime::kFormHandle);
  EXPECT_EQ(w.fake.shell.pickerRequests[0].prompt, "请指定文件夹:");
}

TEST(About, ShowsTheShellsBoxWithTitleNoticeAndIcon) {
  LoadedWindow w;
  w.window().UserClick(cmdAbout);
  ASSERT_EQ(w.fake.shell.aboutBoxes.size(), 1u);
  const auto& box = w.fake.shell.aboutBoxes[0];
  EXPECT_EQ(box.owner, fake::FakeWindowRuntime::kFormHandle);
  EXPECT_EQ(box.appName, "Quernel");
  EXPECT_EQ(box.otherText, "(C) 2026 Quernel 作者\r");
  EXPECT_EQ(box.icon, fake::FakeWindowRuntime::kFormIcon);
}

TEST(Help, OpensThePageBesideTheProgramOncePerClick) {
  LoadedWindow w;
  w.window().UserClick(cmdHelp);
  w.window().UserClick(cmdHelp);
  ASSERT_EQ(w.window().Launches().size(), 2u);
  for (const auto& launch : w.window().Launches()) {
    EXPECT_EQ(launch.commandLine, "explorer.exe \"" + w.ProgramFolder() + "\\help.htm\"");
    EXPECT_EQ(launch.style, WindowStyle::NormalWithFocus);
  }
  EXPECT_TRUE(w.window().Messages().empty()) << "a missing page is the file manager's business";
}

TEST(Help, AFileManagerThatCannotStartIsReported) {
  LoadedWindow w;
  w.window().onLaunch = [](const LaunchRequest&) { return Launch{nullptr, "not found"}; };
  w.window().UserClick(cmdHelp);
  ASSERT_EQ(w.window().Messages().size(), 1u);
  EXPECT_EQ(w.window().Messages()[0].style, MessageStyle::Error);
  EXPECT_NE(w.window().Messages()[0].prompt.find("help.htm"), Text::npos);
}

}  // namespace
}  // namespace quernel
