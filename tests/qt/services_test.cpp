// The Qt back-end's services around the window: the launcher and the wait,
// the mouse pointer, message boxes, the shell's dialogs and the folders; the
// command line and the desktop entry.

#include <gtest/gtest.h>

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "design/product.h"
#include "design/program_texts.h"
#include "platform/qt/qt_command_line.h"
#include "platform/qt/qt_first_paint.h"
#include "platform/qt/qt_launcher.h"
#include "platform/qt/qt_shell_dialogs.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_runtime.h"
#include "qt_test_support.h"

namespace quernel::testing {
namespace {

using enum ControlId;

QString Host(const TempFolder& folder, const char* relative) {
  return ToQString(folder.Name() + "/" + relative);
}

TEST(PlanLaunch, RunsWindowsCommandLinesWithTheirLinuxCounterparts) {
  TempFolder folder;
  folder.Write("Path.txt", "listing");
  const LauncherPrograms programs{"/opt/q/quernel-cmd", "xdg-open"};
  const Text f = folder.Name();
  struct Case {
    Text commandLine;
    LaunchPlan plan;
  };
  const Case cases[] = {
      {'"' + f + "\\path.bat\"", {"/opt/q/quernel-cmd", {"/c", Host(folder, "path.bat")}}},
      {'"' + f + "\\PATH.BAT\"", {"/opt/q/quernel-cmd", {"/c", Host(folder, "PATH.BAT")}}},
      {"notepad.exe \"" + f + "\\path.txt\"", {"xdg-open", {Host(folder, "Path.txt")}}},
      {"explorer.exe \"" + f + "\\帮助 页\\help.htm\"", {"xdg-open", {Host(folder, "帮助 页/help.htm")}}},
      {"/bin/echo \"a b\" c", {"/bin/echo", {"a b", "c"}}},
  };
  for (const Case& c : cases) {
    const LaunchPlan plan = PlanLaunch(c.commandLine, programs);
    EXPECT_EQ(plan.program, c.plan.program) << c.commandLine;
    EXPECT_EQ(plan.arguments, c.plan.arguments) << c.commandLine;
  }
}

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.CreateForm(events_); }
  // Runs a shell command through the runtime and waits for it.
  void RunShell(const std::string& script, std::vector<Text> unset = {}) {
    Launch run =
        window_.LaunchProgram({"/bin/sh -c \"" + script + "\"", WindowStyle::Hidden, std::move(unset)});
    ASSERT_TRUE(run.process) << run.failure;
    window_.WaitWhilePainting(*run.process);
  }

  TempFolder folder_;
  BoxRecorder boxes_;
  RecordingEvents events_;
  QtWindowRuntime window_{QtRuntimeSettings{folder_.Name(), boxes_.Runner()}};
};

TEST_F(LaunchTest, NamedVariablesAreNotInherited) {
  qputenv("DIRCMD", "/p");
  RunShell("env > " + folder_.Name() + "/unset.txt", {"DIRCMD"});
  RunShell("env > " + folder_.Name() + "/kept.txt");
  qunsetenv("DIRCMD");
  EXPECT_EQ(folder_.Read("unset.txt").find("DIRCMD="), std::string::npos);
  EXPECT_NE(folder_.Read("unset.txt").find("PATH="), std::string::npos);
  EXPECT_NE(folder_.Read("kept.txt").find("DIRCMD=/p"), std::string::npos);
}

// The error stream is kept apart from the output, which goes nowhere; a
// program killed by a signal has no exit code of its own and is no success.
TEST_F(LaunchTest, AKeptErrorStreamAndTheExitCodeEndTheWait) {
  struct Case {
    const char* script;
    int exitCode;
    Text errorOutput;
  };
  const Case cases[] = {
      {"echo listing; echo 拒绝访问。 >&2; exit 1", 1, "拒绝访问。\n"},
      {"kill -9 $$", -1, ""},
  };
  for (const Case& c : cases) {
    Launch run = window_.LaunchProgram(
        {"/bin/sh -c \"" + std::string(c.script) + "\"", WindowStyle::Hidden, {}, true});
    ASSERT_TRUE(run.process) << run.failure;
    const ProcessEnd end = window_.WaitWhilePainting(*run.process);
    EXPECT_EQ(end.exitCode, c.exitCode) << c.script;
    EXPECT_EQ(end.errorOutput, c.errorOutput) << c.script;
  }
}

TEST(StartUpTime, ComesFromProcStatOrIsUnknown) {
  const std::string fields = " S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 4242 rest";
  EXPECT_EQ(StartTicksOf("123 (quernel)" + fields), 4242u);
  EXPECT_EQ(StartTicksOf("123 (a) b (c))" + fields), 4242u) << "a name with spaces and parentheses";
  for (const std::string unreadable : {"", "123 quernel S 1 2", "123 (quernel) S 1 2 3"})
    EXPECT_FALSE(StartTicksOf(unreadable)) << unreadable;
}

TEST_F(LaunchTest, AProgramRunsOnWhenItsHandleIsDropped) {
  {
    Launch run =
        window_.LaunchProgram({"/bin/sh -c \"sleep 0.3; echo done > " + folder_.Name() + "/late.txt\"",
                               WindowStyle::NormalWithFocus,
                               {}});
    ASSERT_TRUE(run.process);
  }
  QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(folder_.Path() / "late.txt"), 5000);
}

TEST(Opener, FindingNoApplicationForTheFileIsAFailure) {
  for (auto [opener, opens] : {std::pair{"/bin/false", false}, std::pair{"/bin/true", true}}) {
    QtLauncher launcher(LauncherPrograms{"quernel-cmd", opener});
    const Launch viewer =
        launcher.Start({"notepad.exe \"/tmp\\path.txt\"", WindowStyle::NormalWithFocus, {}});
    EXPECT_EQ(viewer.process != nullptr, opens) << opener;
    EXPECT_EQ(viewer.failure.empty(), opens) << opener;
  }
}

TEST_F(LaunchTest, TheWaitPaintsButDropsTheUsersInput) {
  window_.ShowForm();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.Form()));
  QWidget* out = Find(window_.Form(), "cmdOut");
  int paints = 0;
  struct PaintCounter : QObject {
    int* count;
    explicit PaintCounter(int* c) : count(c) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++*count;
      return false;
    }
  } paintCounter(&paints);
  out->installEventFilter(&paintCounter);
  QTimer::singleShot(100, out, [out] {
    ClickWithMouse(out);
    PressAlt(out->window(), 'X');
    Press(out, Qt::Key_Return);
    out->update();
  });

  QElapsedTimer elapsed;
  elapsed.start();
  Launch run = window_.LaunchProgram({"/bin/sleep 0.5", WindowStyle::Hidden, {}});
  ASSERT_TRUE(run.process);
  window_.WaitWhilePainting(*run.process);
  EXPECT_GE(elapsed.elapsed(), 450);
  Settle();
  EXPECT_TRUE(events_.clicks.empty()) << "input during the wait is neither taken nor replayed";
  EXPECT_GT(paints, 0);
}

TEST(MousePointer, IsTheBusyPointerUntilSetBackWhateverTheRepeats) {
  QtWindowRuntime window;
  struct Case {
    std::vector<MousePointer> writes;
    bool busy;
  };
  using enum MousePointer;
  const Case cases[] = {
      {{Hourglass, Hourglass, Default}, false},
      {{Default, Default, Hourglass}, true},
  };
  for (const Case& c : cases) {
    for (MousePointer pointer : c.writes) window.SetMousePointer(pointer);
    const QCursor* cursor = QApplication::overrideCursor();
    EXPECT_EQ(cursor && cursor->shape() == Qt::WaitCursor, c.busy);
    window.SetMousePointer(Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

TEST(MessageBox, ShowsTheTextWithLineBreaksUnderTheProgramsTitle) {
  BoxRecorder boxes;
  QtWindowRuntime window(QtRuntimeSettings{{}, boxes.Runner()});
  struct Case {
    MessageStyle style;
    Text prompt;
    QMessageBox::Icon icon;
    QString shown;
  };
  const Case cases[] = {
      {MessageStyle::Information, Text(texts::kNotice), QMessageBox::Information,
       "文件列表已输出到临时文件中!\n\n请另存为其它文件或复制内容到其它文件!"},
      {MessageStyle::Error, "<b>not markup</b>", QMessageBox::Critical, "<b>not markup</b>"},
  };
  for (const Case& c : cases) window.ShowMessage(c.prompt, c.style);
  ASSERT_EQ(boxes.boxes.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(boxes.boxes[i].title, "Quernel");
    EXPECT_EQ(boxes.boxes[i].icon, cases[i].icon);
    EXPECT_EQ(boxes.boxes[i].text, cases[i].shown);
  }
}

TEST(ShellDialogs, TheAboutBoxShowsNameNoticeAndIcon) {
  BoxRecorder boxes;
  QtShellDialogs shell(boxes.Runner());
  QWidget owner;
  const QIcon icon(":/quernel/quernel.ico");
  shell.ShowAboutBox(reinterpret_cast<NativeHandle>(&owner), "Quernel", Text(texts::kCopyright) + "\r",
                     icon.isNull() ? 0 : reinterpret_cast<NativeHandle>(&icon));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  const SeenBox& about = boxes.boxes[0];
  EXPECT_EQ(about.title, "Quernel");
  EXPECT_EQ(about.text, "Quernel");
  EXPECT_EQ(about.informativeText, ToQString(Text(texts::kCopyright)) + "\n");
  EXPECT_EQ(about.owner, &owner);
  EXPECT_EQ(about.hasPixmap, !icon.isNull());
}

TEST(ShellDialogs, TheFolderPickerGivesTheChosenFolderOrNothing) {
  TempFolder folder;
  std::filesystem::create_directories(folder.Path() / "音乐");
  BoxRecorder boxes;
  QtShellDialogs shell(boxes.Runner());
  struct Case {
    bool accept;
    Text expected;
  };
  for (const Case& c : {Case{true, folder.Name() + "/音乐"}, Case{false, ""}}) {
    boxes.answer = [&](QDialog& dialog) {
      auto& picker = static_cast<QFileDialog&>(dialog);
      EXPECT_EQ(picker.fileMode(), QFileDialog::Directory);
      picker.setDirectory(ToQString(folder.Name() + "/音乐"));
      return c.accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    EXPECT_EQ(shell.PickFolder(0, Text(texts::kFolderPrompt)), c.expected);
  }
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(ToText(boxes.boxes[0].title), texts::kFolderPrompt);
}

TEST(Folders, TheProgramsIsTheExecutablesAndTheWorkFolderFollowsXdg) {
  EXPECT_EQ(QtWindowRuntime().ProgramFolder(),
            std::filesystem::canonical("/proc/self/exe").parent_path().string());
  EXPECT_EQ(QtWindowRuntime(QtRuntimeSettings{"/srv/q", {}}).ProgramFolder(), "/srv/q");

  const QByteArray saved = qgetenv("XDG_CACHE_HOME");
  const Text home = ToText(QDir::homePath());
  struct Case {
    const char* cache;
    Text work;
  };
  for (const Case& c : {Case{"/var/cache/u", "/var/cache/u/quernel"},
                        Case{"relative", home + "/.cache/quernel"}, Case{"", home + "/.cache/quernel"}}) {
    qputenv("XDG_CACHE_HOME", c.cache);
    EXPECT_EQ(QtWindowRuntime().UserWorkFolder(), c.work) << c.cache;
  }
  qputenv("XDG_CACHE_HOME", saved);
}

// --- The command line ------------------------------------------------------------

TEST(CommandLine, FolderArgumentsReachTheProgramAsGiven) {
  struct Case {
    QStringList arguments;
    std::vector<Text> given;
  };
  const Case cases[] = {
      {{"quernel"}, {}},
      {{"quernel", "/数据/音乐 2024"}, {"/数据/音乐 2024"}},
      {{"quernel", "音乐", "/数据/说明.txt"}, {"音乐", "/数据/说明.txt"}},
      {{"quernel", "--", "-减号开头"}, {"-减号开头"}},
  };
  for (const Case& c : cases) {
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    ASSERT_TRUE(parser.parse(c.arguments)) << parser.errorText().toStdString();
    const StartUp startUp = StartUpFrom(parser, "/home/李");
    EXPECT_EQ(startUp.arguments, c.given) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(startUp.currentFolder, "/home/李");
  }
}

// The program itself: both answer on standard output and end, in a terminal
// with no display at all.
TEST(CommandLine, HelpAndVersionAnswerAndEnd) {
  struct Case {
    const char* option;
    std::vector<Text> said;
  };
  const Case cases[] = {
      {"--version", {"Quernel " + Text(product::kVersion) + "\n"}},
      {"--help", {"--version", Text(texts::kCommandLineDescription), Text(texts::kFolderArgumentHelp)}},
  };
  for (const Case& c : cases) {
    QProcess quernel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(display);
    quernel.setProcessEnvironment(environment);
    quernel.start(QUERNEL_QT_EXE, {c.option});
    ASSERT_TRUE(quernel.waitForFinished(30000)) << c.option;
    EXPECT_EQ(quernel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quernel.exitCode(), 0) << c.option;
    const std::string output = quernel.readAllStandardOutput().toStdString();
    for (const Text& text : c.said)
      EXPECT_NE(output.find(text), std::string::npos) << c.option << ": " << output;
  }
}

// A folder dropped on the launcher opens it; the entry never makes Quernel
// the desktop's handler for folders.
TEST(DesktopEntry, TakesAFolderAndClaimsNoType) {
  std::ifstream entry(QUERNEL_DESKTOP_ENTRY);
  ASSERT_TRUE(entry) << QUERNEL_DESKTOP_ENTRY;
  std::vector<std::string> lines;
  for (std::string line; std::getline(entry, line);) lines.push_back(line);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Exec=quernel %f"), lines.end());
  for (const std::string& line : lines) EXPECT_FALSE(line.starts_with("MimeType")) << line;
}

}  // namespace
}  // namespace quernel::testing
