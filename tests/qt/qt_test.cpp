// The Qt back-end's tests, off any display unless the environment names one.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QtTest/QTest>
#include <QtWidgets/QtWidgets>
#include <iostream>

#include "core/frm_main.h"
#include "core/message_text.h"
#include "design/product.h"
#include "design/program_texts.h"
#include "platform/posix/locale_charset.h"
#include "platform/posix/posix_code_page.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_command_line.h"
#include "platform/qt/qt_first_paint.h"
#include "platform/qt/qt_shell_dialogs.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_runtime.h"
#include "support/test_support.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace quernel::testing {
namespace {

using namespace quernel::qt;
struct SeenBox {
  QString title, text, informativeText;
  QMessageBox::Icon icon;
  bool hasPixmap;
  QWidget* owner;
};

// Answers every modal box with OK, or with `answer`, and records it.
struct BoxRecorder {
  std::vector<SeenBox> boxes;
  std::function<int(QDialog&)> answer;
  std::string viewed;  // the files RunWhole's opener was given, one after another
  DialogRunner Runner() {
    return [this](QDialog& dialog) {
      const auto* box = qobject_cast<QMessageBox*>(&dialog);
      boxes.push_back({dialog.windowTitle(), box ? box->text() : "", box ? box->informativeText() : "",
                       box ? box->icon() : QMessageBox::NoIcon, box && !box->iconPixmap().isNull(),
                       dialog.parentWidget()});
      return answer ? answer(dialog) : int(QDialog::Accepted);
    };
  }
};

const auto Find = [](QWidget* form, const char* name) { return form->findChild<QWidget*>(name); };
// Text as an input method commits it (Chinese included).
void TypeInto(QWidget* widget, const QString& text) {
  widget->setFocus(Qt::MouseFocusReason);
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(widget->focusProxy() ? widget->focusProxy() : widget, &commit);
}
// Alt+key, and the 100 ms a button shows itself pressed before its click.
void PressAlt(QWidget* form, char key) {
  QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, key, Qt::AltModifier);
  QTest::qWait(150);
}
const auto Click = [](QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); };

namespace fs = std::filesystem;

// An executable shell script in the folder; its path.
QString Script(const TempFolder& folder, const std::string& name, const std::string& lines) {
  folder.Write(name, "#!/bin/sh\n" + lines);
  fs::permissions(folder.Path() / name, fs::perms::owner_all);
  return ToQString(folder.Name() + "/" + name);
}

// `script` run as path.bat by a stand-in interpreter that keeps its arguments in cmd.sh.arguments.
Result<RunEnd> RunScript(QtWindowRuntime& window, const TempFolder& folder, const std::string& script,
                         std::vector<Text> unset = {}) {
  folder.Write("path.bat", script);
  window.Launcher().programs.interpreter =
      Script(folder, "cmd.sh", "printf '%s\\n' \"$@\" >\"$0.arguments\"\nexec /bin/sh \"$5\"\n");
  return window.RunListing({folder.Name() + "\\path.bat", folder.Name() + "\\path.txt", std::move(unset), {}},
                           [] { return false; });  // the user never asks to stop
}

using enum ControlId;
using Clicks = std::vector<ControlId>;
using PathLists = std::vector<std::vector<Text>>;

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.CreateForm(events_));
    window_.ShowForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.Form()));
  }
  QWidget* W(const char* name) { return Find(window_.Form(), name); }
  QString Focus() { return QApplication::focusWidget()->objectName(); }
  Clicks Pressing(const char* name, Qt::Key key) {
    events_.clicks.clear();
    W(name)->setFocus();
    QTest::keyClick(W(name), key);
    return events_.clicks;
  }
  bool Drop(QWidget* target, const QMimeData& data) {
    events_.offered.clear();
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                          Qt::LeftButton, {});
    QDropEvent drop(enter.position(), enter.possibleActions(), &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "never a move";
    return enter.isAccepted() && drop.isAccepted();
  }

  RecordingEvents events_;
  BoxRecorder boxes_;
  QtWindowRuntime window_{QtRuntimeSettings{"/nowhere", boxes_.Runner()}};
};

// Blue list text and captions, not passed on; frames named by their captions; boxes and the picker.
TEST_F(Window, ControlsBoxesAndTheFolderPicker) {
  EXPECT_EQ(W("txtPath")->geometry(), QRect(72, 12, 283, 22));
  EXPECT_EQ(W("chkT")->geometry(), QRect(9, 123, 160, 13));
  EXPECT_EQ(W("chkT")->parentWidget(), W("Frame2"));
  EXPECT_EQ(window_.Form()->minimumSize(), window_.Form()->maximumSize()) << "426 x 240: see WholeWindow";
  EXPECT_EQ(window_.Form()->windowTitle(), "Quernel");
  auto colour = [this](const char* name, QPalette::ColorRole role) { return W(name)->palette().color(role); };
  const QColor blue(0, 0, 255);
  EXPECT_EQ(colour("cobFilter", QPalette::Text), blue);
  EXPECT_EQ(colour("Frame1", QPalette::WindowText), blue);
  EXPECT_EQ(qobject_cast<QComboBox*>(W("cobSort"))->view()->palette().color(QPalette::Text), blue);
  for (const char* name : {"Label3", "optD", "chkL", "txtPath"})
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
      EXPECT_NE(colour(name, role), blue) << name;
  for (const ControlDesign& design : ControlDesigns()) {
    window_.SetFontSize(design.id, 14.0);
    if (design.kind != ControlKind::Frame) continue;
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(W(design.name.data()));
    EXPECT_EQ(frame->role(), QAccessible::Grouping);
    EXPECT_EQ(frame->text(QAccessible::Name), ToQString(Text(design.caption)));
  }
  for (const char* name : {"Label1", "Label3", "Label5", "Label6"}) {
    auto* label = qobject_cast<QLabel*>(W(name));
    EXPECT_EQ(label->font().pointSizeF(), 14.0);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text().remove('&'))) << name;
  }

  window_.ShowMessage("一\r二", MessageStyle::Error);
  QtShellDialogs shell(window_, boxes_.Runner());
  shell.ShowAboutBox("Quernel", Text(texts::kCopyright) + "\r");
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[0].text, "一\n二");
  EXPECT_EQ(boxes_.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(boxes_.boxes[1].text, "Quernel");
  EXPECT_TRUE(boxes_.boxes[1].hasPixmap);
  EXPECT_EQ(boxes_.boxes[1].informativeText, ToQString(Text(texts::kCopyright)) + "\n");
  for (const SeenBox& box : boxes_.boxes) {
    EXPECT_EQ(box.title, "Quernel");
    EXPECT_EQ(box.owner, window_.Form());
  }

  TempFolder folder;
  fs::create_directories(folder.Path() / "音乐");
  for (bool accept : {true, false}) {
    boxes_.answer = [&](QDialog& dialog) {
      auto& picker = static_cast<QFileDialog&>(dialog);
      EXPECT_EQ(picker.fileMode(), QFileDialog::Directory);
      picker.setDirectory(ToQString(folder.Name() + "/音乐"));
      return int(accept);  // Accepted or Rejected
    };
    EXPECT_EQ(shell.PickFolder(Text(texts::kFolderPrompt)), accept ? folder.Name() + "/音乐" : "");
  }
  EXPECT_EQ(ToText(boxes_.boxes.at(2).title), texts::kFolderPrompt);
}

// As on Windows: Tab, arrows, access keys (two buttons sharing one take turns), Enter, Esc, clicks.
TEST_F(Window, KeysAndClicksDoWhatTheyDoOnWindows) {
  QStringList visited;
  for (int i = 0; i < 15; ++i) {
    visited << Focus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(visited.join(' '),
            "cmdOut cmdBrowse txtPath cobSort chkL chkT cobWay cmdAbout cmdHelp cmdExit "
            "optR cobType cobFilter chkW cmdOut");
  Pressing("optR", Qt::Key_Down);
  EXPECT_TRUE(Focus().startsWith("opt")) << Focus().toStdString();
  EXPECT_NE(Focus(), "optR");

  QStringList focus;  // access keys pressed in a sort list
  events_.clicks.clear();
  for (char key : std::string("FXLRB")) {
    W("cobSort")->setFocus();
    PressAlt(window_.Form(), key);
    focus << Focus();
  }
  EXPECT_EQ(focus.join(' '), "txtPath cobSort chkL optR cmdBrowse");
  EXPECT_EQ(events_.clicks, (Clicks{cmdExit, chkL, optR}));
  PressAlt(window_.Form(), 'B');
  EXPECT_EQ(Focus(), "cmdAbout");

  window_.AddItem(cobFilter, "*.*");
  EXPECT_EQ(Pressing("txtPath", Qt::Key_Return), Clicks{cmdOut});
  EXPECT_EQ(Pressing("cobFilter", Qt::Key_Return), Clicks{cmdOut});
  EXPECT_EQ(qobject_cast<QComboBox*>(W("cobFilter"))->count(), 1) << "Enter in the list's text adds no entry";
  EXPECT_EQ(Pressing("cmdHelp", Qt::Key_Return), Clicks{cmdHelp});
  EXPECT_EQ(Pressing("cmdOut", Qt::Key_Enter), Clicks{cmdOut});
  EXPECT_EQ(Pressing("cobSort", Qt::Key_Escape), Clicks{cmdExit});

  // A greyed box turns checked; a pick of the chosen option or entry raises Click again.
  window_.SetValue(chkL, 0);
  events_.clicks.clear();
  std::vector<int> seen;
  events_.onClick = [&](ControlId control) { seen.push_back(window_.GetValue(control)); };
  Click(W("chkL"));
  window_.SetValue(chkL, 2);
  for (const char* name : {"chkL", "chkL", "chkL", "optS", "optS"}) Click(W(name));
  EXPECT_EQ(events_.clicks, (Clicks{chkL, chkL, chkL, chkL, chkL, optS, optS}));
  EXPECT_EQ(seen, (std::vector{1, 2, 1, 0, 1, 1, 1}));

  for (const char* entry : {"名称", "大小", "日期"}) window_.AddItem(cobSort, entry);
  window_.SetListIndex(cobSort, 0);
  EXPECT_EQ(Pressing("cobSort", Qt::Key_Down), Clicks{cobSort});
  auto* list = qobject_cast<QComboBox*>(W("cobSort"));
  list->showPopup();
  QTest::keyClick(list->view(), Qt::Key_Return);
  EXPECT_EQ(events_.clicks, (Clicks{cobSort, cobSort}));
  EXPECT_EQ(window_.GetText(cobSort), "大小");
}

// File URLs dropped anywhere reach the program as paths, if it welcomes them.
TEST_F(Window, FileUrlsDroppedReachTheProgramAndTheWaitDropsTheUsersInput) {
  QMimeData one, several, text;
  one.setUrls({QUrl::fromLocalFile("/数据/音乐 2024")});
  several.setUrls(
      {QUrl::fromLocalFile("/数据/说明.txt"), QUrl("https://a.cn/b"), QUrl::fromLocalFile("/数据")});
  text.setText("D:\\文本");
  EXPECT_TRUE(Drop(W("txtPath"), one));
  EXPECT_TRUE(Drop(W("Label5"), several));
  EXPECT_TRUE(Drop(window_.Form(), one));
  EXPECT_EQ(events_.dropped,
            (PathLists{{"/数据/音乐 2024"}, {"/数据/说明.txt", "/数据"}, {"/数据/音乐 2024"}}));
  events_.takesDrops = false;
  EXPECT_FALSE(Drop(W("cobFilter"), several));
  EXPECT_EQ(events_.offered, (PathLists{{"/数据/说明.txt", "/数据"}}));
  EXPECT_TRUE(Drop(W("txtPath"), text));
  EXPECT_TRUE(events_.offered.empty()) << "text is no file";

  // The wait goes on painting; the user's input is dropped, not replayed.
  events_.clicks.clear();
  QElapsedTimer elapsed;
  qint64 input = 0;
  QTimer::singleShot(100, [&] {
    Click(W("cmdOut"));
    PressAlt(window_.Form(), 'X');
    QTest::keyClick(W("cmdOut"), Qt::Key_Return);
    input = elapsed.elapsed();
  });
  elapsed.start();
  TempFolder folder;
  ASSERT_TRUE(RunScript(window_, folder, "sleep 0.5"));
  EXPECT_GT(input, 0) << "made while the run was waited for";
  EXPECT_LT(input, 450);
  QTest::qWait(20);
  EXPECT_TRUE(events_.clicks.empty());
}

// The hidden run through the interpreter, the opener (outliving its wait too), folders, hourglass.
TEST(Services, RunsOpensFoldersPointerAndStartUpTime) {
  QtWindowRuntime window;
  TempFolder folder;
  qputenv("DIRCMD", "/p");
  const QByteArray savedLocale = qgetenv("LC_ALL");
  const std::tuple<const char*, std::vector<Text>, const char*, int, Text> cases[] = {
      {"echo a; printenv DIRCMD >&2; pwd >&2; echo 拒绝 >&2; exit 1", {"DIRCMD"}, "C.UTF-8", 1, "/\n拒绝\n"},
      {"kill -9 $$", {}, "C.UTF-8", -1, ""},
      {"printf '\\325\\322' >&2", {}, "zh_CN.GBK", 0, "找"}};  // the locale's character set
  for (const auto& [script, unset, locale, exitCode, errorOutput] : cases) {
    if (!posix::PosixCodePage::ForLocale(locale)) continue;  // GBK when generated
    qputenv("LC_ALL", locale);
    const auto end = RunScript(window, folder, script, unset);
    ASSERT_TRUE(end) << end.error();
    EXPECT_EQ(end->exitCode, exitCode) << script;
    EXPECT_EQ(end->errorOutput, errorOutput) << script;
  }
  qputenv("LC_ALL", savedLocale);
  qunsetenv("DIRCMD");
  EXPECT_EQ(folder.Read("cmd.sh.arguments"), "/u\n/d\n/v:off\n/c\n" + folder.Name() + "/path.bat\n");

  const QString late = Script(folder, "late.sh", "sleep 3.2; echo >\"$1\"\n");
  for (const auto& [opener, opens] :
       {std::pair<QString, bool>{"/bin/false", false}, {"/bin/true", true}, {late, true}}) {
    window.Launcher().programs.opener = opener;
    QElapsedTimer launch;
    launch.start();
    EXPECT_EQ(window.OpenListing(folder.Name() + "\\late.txt").has_value(), opens) << opener.toStdString();
    EXPECT_EQ(launch.elapsed() >= 1000, opens) << "the viewer is given a moment to open the file";
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(folder.Path() / "late.txt"); }, 5000));

  const QByteArray saved = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", "/var/cache/u");
  EXPECT_EQ(QtWindowRuntime().UserWorkFolder(), "/var/cache/u/quernel");
  qputenv("XDG_CACHE_HOME", "relative");
  EXPECT_EQ(QtWindowRuntime().UserWorkFolder(), ToText(QDir::homePath()) + "/.cache/quernel");
  qputenv("XDG_CACHE_HOME", saved);

  using enum MousePointer;
  for (auto pointer : {Hourglass, Hourglass, Default, Default, Hourglass}) window.SetMousePointer(pointer);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  window.SetMousePointer(Default);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  const std::string fields = " S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 4242 rest";
  EXPECT_EQ(StartTicksOf("123 (a) b (c))" + fields), 4242u) << "a name with spaces and parentheses";
  EXPECT_FALSE(StartTicksOf("123 quernel S 1 2")) << "unreadable";
  EXPECT_FALSE(StartTicksOf("123 (quernel) S 1 2 3")) << "unreadable";
}

// --help and --version without a display; Qt's options not taken, after "--" least of all.
TEST(CommandLine, FoldersAsGivenHelpAndVersionWithoutADisplay) {
  const std::pair<QStringList, std::vector<Text>> cases[] = {
      {{"quernel", "音乐", "/数据/说明 2024.txt"}, {"音乐", "/数据/说明 2024.txt"}},
      {{"quernel", "--", "-reverse"}, {"-reverse"}},
      {{"quernel", "--", "-style", "small"}, {"-style", "small"}},
  };
  for (const auto& [arguments, given] : cases) {
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    ASSERT_TRUE(parser.parse(arguments)) << parser.errorText().toStdString();
    const StartUp startUp = StartUpFrom(parser, "/home/李");
    EXPECT_EQ(std::pair(startUp.arguments, startUp.currentFolder), std::pair(given, Text("/home/李")));
  }
  auto run = [](const QStringList& arguments, const QStringList& environment = {"-u", "QT_QPA_PLATFORM"}) {
    QProcess quernel;  // by default without a display
    quernel.start("env", QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"} + environment +
                             QStringList{QUERNEL_QT_EXE} + arguments);
    EXPECT_TRUE(quernel.waitForFinished(30000)) << arguments.join(' ').toStdString();
    return std::to_string(quernel.exitCode()) + " " + quernel.readAllStandardOutput().toStdString() +
           quernel.readAllStandardError().toStdString();
  };
  EXPECT_EQ(run({"--version"}), "0 Quernel " + Text(product::kVersion) + "\n");
  const std::string help = run({"--help"});
  for (auto t : {texts::kCommandLineDescription, texts::kFolderArgumentHelp, std::string_view("--version")})
    EXPECT_NE(help.find(t), std::string::npos) << help;
  EXPECT_EQ(help.find("--help-all"), std::string::npos) << help;
  EXPECT_TRUE(run({"--help-all"}).starts_with("1 ")) << "not offered, not taken";
  EXPECT_EQ(run({"-display", ":1", "x"}), "1 Quernel: Unknown option 'display'.\n");
  // Neither right to left nor a warning: only the folder field differs from a plain start.
  TempFolder folder;
  const QString withOptions = ToQString(folder.Name() + "/options.png"),
                plain = ToQString(folder.Name() + "/plain.png");
  EXPECT_EQ(run({"--", "-reverse", "-style", "small"}, {"QUERNEL_SCREENSHOT=" + withOptions}).find("style"),
            std::string::npos);
  run({}, {"QUERNEL_SCREENSHOT=" + plain});
  QImage pictures[] = {QImage(withOptions), QImage(plain)};
  for (QImage& picture : pictures) QPainter(&picture).fillRect(QRect(72, 12, 283, 22), Qt::black);
  EXPECT_FALSE(pictures[0].isNull());
  EXPECT_TRUE(pictures[0] == pictures[1]);
}

// The whole program, `user` acting, `programs` started: by default quernel-cmd and a stand-in opener; returns
// the files that opener was given, a line each, their text in boxes.viewed.
std::string RunWhole(const Text& program, BoxRecorder& boxes, const std::function<void(QWidget*)>& user,
                     std::optional<LauncherPrograms> programs = std::nullopt) {
  TempFolder opener;
  QtWindowRuntime window{QtRuntimeSettings{program, boxes.Runner()}};
  window.Launcher().programs = programs.value_or(
      LauncherPrograms{.opener = Script(opener, "open.sh",
                                        "printf '%s\\n' \"$1\" >>\"$0.log\"; cat \"$1\" >>\"$0.viewed\"\n")});
  posix::PosixFileSystem files;
  QtShellDialogs shell{window, boxes.Runner()};
  QTimer::singleShot(0, [&] { user(window.Form()); });
  RunQuernel({window, files, shell, *posix::PosixCodePage::ForLocale("")});
  EXPECT_EQ(window.Form(), nullptr) << "the run ends with the window gone";
  boxes.viewed = opener.Read("open.sh.viewed");
  return opener.Read("open.sh.log");
}

class WholeWindow : public ::testing::TestWithParam<const char*> {};

// Under UTF-8 and GBK (names on the disk too) every name comes out whole; error boxes name paths with
// '/' and fit a 1280 x 1024 screen whatever a name holds. The pictures are kept for a look.
TEST_P(WholeWindow, FromTheUsersChoicesToTheListing) {
  const auto codePage = posix::PosixCodePage::ForLocale(GetParam());
  if (!codePage) GTEST_SKIP() << GetParam() << " is not generated (scripts/install-deps.sh makes it)";
  const QByteArray savedLocale = qgetenv("LC_ALL");
  qputenv("LC_ALL", GetParam());  // quernel-cmd reads the batch file in the locale's charset
  auto local = [&](const Text& t) { return posix::ConvertCharset(t, "UTF-8", codePage->Name()).value(); };
  std::vector<Text> names{"歌曲.mp3", "Tom & Jerry 1.mp3", "さくら.mp3"};
  if (codePage->Name() == "UTF-8")
    names.insert(names.end(), {"방탄소년단 - 봄날.mp3", "emoji 🎵.mp3", "Tiếng Việt.mp3"});
  TempFolder program, data;
  for (const Text& name : names) data.Write(local("音乐/" + name), "");
  fs::create_directories(data.Path() / local("音乐/子文件夹"));
  names.push_back("子文件夹");
  const QString music = ToQString(data.Name() + "/音乐");
  std::vector<QImage> pictures;
  std::vector<QSize> sizes;
  BoxRecorder boxes;
  bool look = false;  // a box shown takes the window's keys
  boxes.answer = [&](QDialog& box) {
    if (!look) return int(QDialog::Accepted);
    box.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
    pictures.push_back(box.grab().toImage());
    sizes.push_back(box.frameGeometry().size());
    return int(QDialog::Accepted);
  };
  Text breaks = "a";
  for (int i = 0; i < 40; ++i) breaks += "\u2029\u2028";
  std::string bare, full, batch, listing;
  QRect notice;
  const auto opened = RunWhole(program.Name(), boxes, [&](QWidget* form) {
    QTimer::singleShot(30000, form, [form] { form->close(); });  // should it hang
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::qWait(20);
    pictures.push_back(form->grab().toImage());
    notice = Find(form, "Label5")->geometry();
    TypeInto(Find(form, "txtPath"), music);
    fs::create_directories(program.Path() / "path.bat");  // its place taken
    Click(Find(form, "cmdOut"));
    fs::remove(program.Path() / "path.bat");
    for (std::string* kept : {&bare, &full}) {
      PressAlt(form, 'O');
      *kept = program.Read("path.txt");
      PressAlt(form, 'T');  // the full format, then the bare one again
    }
    for (int i = 0; i < 2; ++i) QTest::keyClick(Find(form, "cobType"), Qt::Key_Down);
    PressAlt(form, 'D');
    QLineEdit* filter = static_cast<QComboBox*>(Find(form, "cobFilter"))->lineEdit();
    filter->selectAll();
    TypeInto(filter, "*");
    look = true;
    PressAlt(form, 'O');
    batch = program.Read("path.bat");
    listing = program.Read("path.txt");
    static_cast<QLineEdit*>(Find(form, "txtPath"))->clear();
    TypeInto(Find(form, "txtPath"), ToQString(data.Name() + "/" + breaks + "\u202E"));  // missing
    Click(Find(form, "cmdOut"));
    Click(Find(form, "cmdAbout"));
    QTest::keyClick(form->focusWidget(), Qt::Key_Escape);
  });
  qputenv("LC_ALL", savedLocale);
  std::vector<Text> lines;
  for (std::size_t at = 0, end; (end = bare.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(bare.substr(at, end - at));
  std::ranges::sort(lines);
  std::ranges::sort(names);
  EXPECT_EQ(lines, names);  // the last one ended by CR LF too
  for (const Text& name : names) EXPECT_NE(full.find(" " + name + "\r\n"), std::string::npos) << full;
  EXPECT_NE(full.find(ToText(music)), std::string::npos) << full;
  const Text command = "dir \"" + ToText(music) + "\\*\"  /a:d /o:n /B >\"" + program.Name() + "\\Path.txt\"";
  EXPECT_EQ(batch, local(command + "\r\nexit\r\n"));
  EXPECT_EQ(listing, "子文件夹\r\n") << "UTF-8, whatever the locale";
  ASSERT_EQ(boxes.boxes.size(), 6u);
  EXPECT_EQ(boxes.boxes[1].icon, QMessageBox::Information);
  EXPECT_TRUE(boxes.boxes[0].text.contains(ToQString(program.Name() + "/path.bat")));
  EXPECT_TRUE(boxes.boxes[4].text.contains(ToQString(data.Name() + "/a<U+2029><U+2028>")));
  EXPECT_LE(sizes[1].width(), 1280);
  EXPECT_LE(sizes[1].height(), 1024);
  for (const SeenBox& box : boxes.boxes) EXPECT_FALSE(box.text.contains(u'\\')) << box.text.toStdString();
  const std::string listed = program.Name() + "/path.txt\n";
  EXPECT_EQ(opened, listed + listed + listed);
  EXPECT_FALSE(fs::exists(program.Path() / "path.bat"));

  ASSERT_EQ(pictures.size(), 4u);
  fs::create_directories(QUERNEL_SCREENSHOT_FOLDER);
  for (auto [picture, name] : {std::pair{0u, ""}, {1u, "-notice"}, {3u, "-about"}})
    EXPECT_TRUE(pictures[picture].save(QString(QUERNEL_SCREENSHOT_FOLDER "/quernel-qt%1.png").arg(name)));
  const QImage& picture = pictures[0];
  EXPECT_EQ(picture.size() / picture.devicePixelRatio(), QSize(426, 240));
  auto count = [&](int left, int right, int y, QRgb colour) {  // pixels of a colour in a row
    int n = 0;
    for (int x = left; x <= right; ++x) n += (picture.pixel(x, y) & 0xffffff) == colour;
    return n;
  };
  EXPECT_GT(count(notice.right() + 1, 425, 227, 0x808080), 250) << "the grey line";
  EXPECT_GT(count(notice.right() + 1, 425, 228, 0xffffff), 250) << "the white line";
  EXPECT_LT(count(notice.left(), notice.right(), 227, 0x808080), notice.width() / 3) << "under the notice";
}

INSTANTIATE_TEST_SUITE_P(Locales, WholeWindow, ::testing::Values("zh_CN.UTF-8", "zh_CN.GBK"));

// Yes to the close box's or Esc's question ends the interpreter and all it started.
TEST(StoppedRun, EndsTheInterpreterAndAllItStartedAndARefusedListingNamesTheTextEditor) {
  TempFolder program, scripts;
  // The first run waits for a child of its own; the next one lists.
  const QString interpreter = Script(scripts, "cmd.sh",
                                     "[ -e \"$0.child\" ] && { echo >\"${5%/*}/Path.txt\"; exit; }\n"
                                     "sleep 20 & printf %s $! >\"$0.child\"; wait\n");
  auto running = [&] {  // the run's own child, and no zombie
    const std::string stat = ReadBytes("/proc/" + scripts.Read("cmd.sh.child") + "/stat");
    return stat.rfind(") ") != std::string::npos && stat.at(stat.rfind(") ") + 2) != 'Z';
  };
  BoxRecorder boxes;
  std::vector<bool> runningWhenAsked;
  boxes.answer = [&](QDialog& dialog) {
    auto& box = static_cast<QMessageBox&>(dialog);
    if (box.icon() != QMessageBox::Question) return int(QDialog::Accepted);
    EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
    runningWhenAsked.push_back(running());
    return int(runningWhenAsked.size() == 1 ? QMessageBox::No : QMessageBox::Yes);
  };
  RunWhole(
      program.Name(), boxes,
      [&](QWidget* form) {
        QTimer::singleShot(300, form, [form] { form->close(); });
        QTimer::singleShot(600, form, [form] { QTest::keyClick(form, Qt::Key_Escape); });
        Click(Find(form, "cmdOut"));
        Click(Find(form, "cmdOut"));
        form->close();
      },
      LauncherPrograms{interpreter, "/bin/false"});
  EXPECT_EQ(runningWhenAsked, (std::vector{true, true}));
  ASSERT_EQ(boxes.boxes.size(), 5u) << "the questions, the stop, the notice and the refusal";
  auto shown = [&](std::string_view message, const Text& reason = {}) {
    return ShownWithLineBreaks(
        FillMessage(message, program.Name() + "/path.txt", reason, Text(texts::kTextEditorName)));
  };
  EXPECT_EQ(boxes.boxes[2].text, shown(texts::kListingStopped));
  EXPECT_EQ(boxes.boxes[4].text, shown(texts::kViewerNotStarted, "/bin/false: exit code 1"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !running(); }, 2000)) << "the run's own child";
}

// TwoWindows's second window (see main): lists the folder when told, prints when and what it viewed.
int SecondWindow(const Text& program, const Text& folder) {
  BoxRecorder boxes;
  qint64 pressed = 0;
  RunWhole(program, boxes, [&](QWidget* form) {
    TypeInto(Find(form, "txtPath"), ToQString(folder));
    std::cout << "ready" << std::endl;
    std::cin.get();                                  // told to go
    pressed = QDeadlineTimer::current().deadline();  // the system's monotonic clock
    Click(Find(form, "cmdOut"));
    form->close();
  });
  std::cout << pressed << '\n' << boxes.viewed;
  return 0;
}

// Two windows (processes) in one program folder, the second's 输出 pressed while the first lists.
TEST(TwoWindows, EachViewsItsOwnListing) {
  TempFolder program, small, large(fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path());
  for (int i = 0; i < 200000; ++i)
    close(open((large.Name() + "/" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) small.Write(name, "");
  QProcess second;
  second.start(QCoreApplication::applicationFilePath(),
               {"--second-window", ToQString(program.Name()), ToQString(small.Name())});
  ASSERT_TRUE(second.waitForReadyRead(30000));
  ASSERT_EQ(second.readLine().toStdString(), "ready\n");
  BoxRecorder boxes;
  qint64 noticed = 0;
  boxes.answer = [&](QDialog&) {
    noticed = QDeadlineTimer::current().deadline();
    return int(QDialog::Accepted);
  };
  RunWhole(program.Name(), boxes, [&](QWidget* form) {
    TypeInto(Find(form, "txtPath"), ToQString(large.Name()));
    QTimer::singleShot(100, [&] { second.write("go\n"); });
    Click(Find(form, "cmdOut"));
    form->close();
  });
  second.waitForFinished(60000);  // unless it has already ended
  const std::string seen = second.readAllStandardOutput().toStdString();
  EXPECT_LT(std::stoll(seen), noticed) << "pressed while the first listing was being made";
  EXPECT_EQ(seen.substr(seen.find('\n') + 1), "a.txt\r\nb.txt\r\nc.txt\r\n");
  EXPECT_EQ(std::ranges::count(boxes.viewed, '\n'), 200000) << "its own listing, once";
}

// Hostile folders and a full disk, as a user without privileges (run_as_unprivileged.sh).
class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache_.Name()));
    data_.Write("files/a.txt", "a");
    fs::create_directories(program_);
  }
  void TearDown() override { fs::remove_all(program_); }
  // The user lists `folder`: in the user's work folder, or (not `listed`) one error box and no viewer.
  void Output(const char* folder, bool listed) {
    boxes_.boxes.clear();
    const auto opened = RunWhole(program_.string(), boxes_, [&](QWidget* form) {
      TypeInto(Find(form, "txtPath"), ToQString((data_.Path() / folder).string()));
      Click(Find(form, "cmdOut"));
      form->close();
    });
    EXPECT_EQ(opened, listed ? cache_.Name() + "/quernel/path.txt\n" : "");
    if (listed) return;
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    const Text words = FillMessage(texts::kListingNotCompleted, "", "", Text(texts::kTextEditorName));
    EXPECT_TRUE(boxes_.boxes[0].text.startsWith(ShownWithLineBreaks(words).section('\n', 0, 0)));
    EXPECT_EQ(boxes_.boxes[0].icon, QMessageBox::Critical);
  }

  TempFolder root_, data_, cache_;
  fs::path program_ = root_.Path() / "program";
  BoxRecorder boxes_;
};

TEST_F(Faults, AReadOnlyProgramFolderAndAFolderThatCannotBeRead) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads and writes folders of any mode: run as a user";
  fs::permissions(program_, fs::perms::owner_read | fs::perms::owner_exec);
  Output("files", true);  // and the notice: the viewer comes after it only
  fs::permissions(program_, fs::perms::owner_all);
  fs::permissions(data_.Path() / "files", fs::perms::none);
  Output("files", false);
}

// The listing does not fit on the program folder's disk; then the disk is full.
TEST_F(Faults, ATinyProgramFolderDisk) {
  const char* tiny = std::getenv("QUERNEL_TINY_DISK");
  if (!tiny || !*tiny) GTEST_SKIP() << "no 64 KB file system was mounted (mounting needs root)";
  program_ = fs::path(tiny) / ("program-" + std::to_string(getpid()));
  ASSERT_TRUE(fs::create_directories(program_));
  for (int i = 10000; i < 13000; ++i)  // 120,000 bytes of listing
    data_.Write("many/file-" + std::to_string(i) + "-xxxxxxxxxxxxxxxxxxxxxxxxx.txt", "");
  Output("many", false);
  fs::remove(program_ / "path.txt");  // else removing the old listing frees the disk
  std::ofstream(program_ / "filler") << std::string(1 << 16, 'x');
  Output("files", true);
}

}  // namespace
}  // namespace quernel::testing

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("QUERNEL_CMD")) qputenv("QUERNEL_CMD", QUERNEL_CMD_PATH);  // the one built
  QApplication application(argc, argv);
  quernel::qt::PrepareApplication(application);
  if (argc == 4 && std::string_view(argv[1]) == "--second-window")  // TwoWindows's second window
    return quernel::testing::SecondWindow(argv[2], argv[3]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
