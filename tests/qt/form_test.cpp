// The window frmMain as the Qt back-end builds it, and the user's keys and
// clicks on it.

#include <gtest/gtest.h>

#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QAccessible>
#include <QtGui/QDropEvent>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>

#include "design/program_texts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_runtime.h"
#include "qt_test_support.h"

namespace quernel::testing {
namespace {

using enum ControlId;

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.CreateForm(events_); }
  void Show() {
    window_.ShowForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form()));
  }
  QWidget* Form() { return window_.Form(); }
  QWidget* W(std::string_view name) { return Find(Form(), name); }
  template <class T>
  T* As(std::string_view name) {
    return qobject_cast<T*>(W(name));
  }
  QString FocusName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }
  void FillSortKeys() {
    for (const char* entry : {"名称", "大小", "日期"}) window_.AddItem(cobSort, entry);
  }

  BoxRecorder boxes_;
  RecordingEvents events_;
  QtWindowRuntime window_{QtRuntimeSettings{"/nowhere", boxes_.Runner()}};
};

TEST_F(FormTest, ControlsSitAtTheirDesignedPixelsInTheirContainers) {
  struct Case {
    const char* name;
    const char* parent;
    QRect pixels;
  };
  const Case cases[] = {
      {"txtPath", "frmMain", {72, 12, 283, 22}}, {"Frame1", "frmMain", {6, 39, 235, 148}},
      {"cobType", "Frame1", {63, 15, 167, 20}},  {"chkT", "Frame2", {9, 123, 160, 13}},
      {"cmdOut", "frmMain", {285, 195, 60, 23}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(W(c.name), nullptr);
    EXPECT_EQ(W(c.name)->parentWidget()->objectName(), c.parent);
    EXPECT_EQ(W(c.name)->geometry(), c.pixels);
  }
  EXPECT_EQ(Form()->size(), QSize(426, 240));
  EXPECT_EQ(Form()->minimumSize(), Form()->maximumSize()) << "the window cannot be resized";
  EXPECT_EQ(Form()->windowTitle(), "Quernel");
}

// A frame's blue must not pass on to the controls inside it.
TEST_F(FormTest, ListsAndFrameCaptionsAreBlueAndNothingElseIs) {
  const QColor blue(0, 0, 255);
  struct Case {
    const char* name;
    QPalette::ColorRole role;
    bool isBlue;
  };
  const Case cases[] = {
      {"cobFilter", QPalette::Text, true},    {"cobWay", QPalette::Text, true},
      {"Frame1", QPalette::WindowText, true}, {"Label3", QPalette::WindowText, false},
      {"optD", QPalette::WindowText, false},  {"chkL", QPalette::WindowText, false},
      {"chkT", QPalette::ButtonText, false},  {"txtPath", QPalette::Text, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(W(c.name)->palette().color(QPalette::Active, c.role) == blue, c.isBlue) << c.name;
  EXPECT_EQ(As<QComboBox>("cobSort")->view()->palette().color(QPalette::Text), blue)
      << "the drop-down's entries";
}

// A screen reader announces a frame's caption as the name of its group.
TEST_F(FormTest, FramesAreNamedByTheirCaptions) {
  for (const ControlDesign& design : ControlDesigns()) {
    if (design.kind != ControlKind::Frame) continue;
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(W(design.name));
    ASSERT_TRUE(frame) << design.name;
    EXPECT_EQ(frame->role(), QAccessible::Grouping);
    EXPECT_EQ(frame->text(QAccessible::Name), ToQString(Text(design.caption)));
  }
}

TEST_F(FormTest, LabelsFitTheirTextAtEveryFontSize) {
  for (double points : {9.0, 14.0}) {
    for (const ControlDesign& design : ControlDesigns()) window_.SetFontSize(design.id, points);
    for (const char* name : {"Label1", "Label3", "Label5", "Label6"}) {
      auto* label = As<QLabel>(name);
      EXPECT_EQ(label->font().pointSizeF(), points);
      EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text().remove('&'))) << name;
    }
  }
}

// Tab follows the tab indexes, entering the group of option buttons once (at
// its first, while none is chosen), as Windows does; the arrows move inside.
TEST_F(FormTest, TabVisitsTheControlsInTabIndexOrderStartingAtOutput) {
  Show();
  std::vector<QString> visited;
  for (int i = 0; i < 15; ++i) {
    visited.push_back(FocusName());
    Press(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(visited, (std::vector<QString>{"cmdOut", "cmdBrowse", "txtPath", "cobSort", "chkL", "chkT",
                                           "cobWay", "cmdAbout", "cmdHelp", "cmdExit", "optR", "cobType",
                                           "cobFilter", "chkW", "cmdOut"}));
  W("optR")->setFocus();
  Press(W("optR"), Qt::Key_Down);
  EXPECT_NE(FocusName(), "optR");
  EXPECT_TRUE(FocusName().startsWith("opt"));
}

// A push button's key clicks it where the focus is; a check box or option
// button takes the focus as well.
TEST_F(FormTest, AccessKeysClickTheirControlOrLeadToIt) {
  struct Case {
    char key;
    const char* focus;
    std::vector<ControlId> clicks;
  };
  const Case cases[] = {
      {'F', "txtPath", {}},        {'O', "cobSort", {cmdOut}}, {'X', "cobSort", {cmdExit}},
      {'P', "cobSort", {cmdHelp}}, {'L', "chkL", {chkL}},      {'T', "chkT", {chkT}},
      {'R', "optR", {optR}},
  };
  Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    events_.clicks.clear();
    W("cobSort")->setFocus();
    PressAlt(Form(), c.key);
    EXPECT_EQ(FocusName(), c.focus);
    EXPECT_EQ(events_.clicks, c.clicks);
  }
  EXPECT_EQ(window_.GetValue(chkL), 1);
  EXPECT_EQ(window_.GetValue(chkT), 0);
  EXPECT_EQ(window_.GetValue(optR), 1);
}

TEST_F(FormTest, TheSharedAccessKeyMovesBetweenItsButtonsWithoutClicking) {
  Show();
  std::vector<QString> focus;
  for (int i = 0; i < 3; ++i) {
    PressAlt(Form(), 'B');
    focus.push_back(FocusName());
  }
  EXPECT_EQ(focus, (std::vector<QString>{"cmdBrowse", "cmdAbout", "cmdBrowse"}));
  EXPECT_TRUE(events_.clicks.empty());
}

TEST_F(FormTest, EnterClicksOutputOrTheFocusedButtonAndEscClicksExit) {
  struct Case {
    const char* focus;
    Qt::Key key;
    ControlId clicked;
  };
  const Case cases[] = {
      {"txtPath", Qt::Key_Return, cmdOut},  {"cobFilter", Qt::Key_Return, cmdOut},
      {"chkL", Qt::Key_Return, cmdOut},     {"cmdHelp", Qt::Key_Return, cmdHelp},
      {"cmdOut", Qt::Key_Enter, cmdOut},    {"txtPath", Qt::Key_Escape, cmdExit},
      {"cobSort", Qt::Key_Escape, cmdExit}, {"cmdHelp", Qt::Key_Escape, cmdExit},
  };
  window_.AddItem(cobFilter, "*.*");
  Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.focus) + " " + std::to_string(c.key));
    events_.clicks.clear();
    W(c.focus)->setFocus();
    Press(W(c.focus), c.key);
    EXPECT_EQ(events_.clicks, std::vector{c.clicked});
  }
  EXPECT_EQ(As<QComboBox>("cobFilter")->count(), 1) << "Enter in the list's text adds no entry";
}

TEST_F(FormTest, TheCloseBoxEndsTheRunWithoutAnyClick) {
  Show();
  QTimer::singleShot(0, Form(), [this] { Form()->close(); });
  window_.RunUntilClosed();
  EXPECT_TRUE(events_.clicks.empty());
  EXPECT_EQ(window_.Form(), nullptr) << "the window is gone";
}

TEST_F(FormTest, ClosingFromTheProgramBeforeTheRunEndsItAtOnce) {
  Show();
  events_.onClick = [this](ControlId) { window_.CloseForm(); };
  ClickWithMouse(W("cmdExit"));
  window_.RunUntilClosed();
  EXPECT_EQ(events_.clicks, std::vector{cmdExit});
}

TEST_F(FormTest, UserClicksChangeTheStateBeforeClickIsRaised) {
  Show();
  std::vector<int> seen;
  events_.onClick = [&](ControlId control) { seen.push_back(window_.GetValue(control)); };
  ClickWithMouse(W("chkL"));  // 0 -> 1
  window_.SetValue(chkL, 2);  // greyed by the program
  ClickWithMouse(W("chkL"));  // 2 -> 1
  ClickWithMouse(W("chkL"));  // 1 -> 0, never back to greyed
  ClickWithMouse(W("chkL"));  // 0 -> 1
  ClickWithMouse(W("optS"));
  ClickWithMouse(W("optS"));  // clicking the chosen option raises Click again
  EXPECT_EQ(events_.clicks, (std::vector{chkL, chkL, chkL, chkL, chkL, optS, optS}));
  EXPECT_EQ(seen, (std::vector{1, 2, 1, 0, 1, 1, 1}));
}

TEST_F(FormTest, EveryPickOfTheUserRaisesClickEvenOfTheShownEntry) {
  FillSortKeys();
  window_.SetListIndex(cobSort, 0);
  Show();
  events_.clicks.clear();
  auto* list = As<QComboBox>("cobSort");
  list->setFocus();
  Press(list, Qt::Key_Down);
  EXPECT_EQ(window_.GetListIndex(cobSort), 1);

  list->showPopup();
  QAbstractItemView* view = list->view();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
  const QPoint onEntry = view->visualRect(view->model()->index(1, 0)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onEntry);
  Settle();
  EXPECT_EQ(events_.clicks, (std::vector{cobSort, cobSort}));
  EXPECT_EQ(window_.GetText(cobSort), "大小");
}

// Items dragged onto any part of the window reach the program as the paths
// of their file URLs; the program's answer decides whether the pointer shows
// the drop as welcome, and a welcome drop is a copy, never a move.
TEST_F(FormTest, FileUrlsDraggedOntoTheWindowReachTheProgramAsPaths) {
  Show();
  struct Case {
    const char* what;
    const char* target;
    QList<QUrl> urls;
    bool taken;
    std::vector<Text> paths;
  };
  const Case cases[] = {
      {"one folder, on the folder field",
       "txtPath",
       {QUrl::fromLocalFile("/数据/音乐 2024")},
       true,
       {"/数据/音乐 2024"}},
      {"several, a web address among them, on a label",
       "Label5",
       {QUrl::fromLocalFile("/数据/说明.txt"), QUrl("https://example.com/a"),
        QUrl::fromLocalFile("/数据/下载")},
       true,
       {"/数据/说明.txt", "/数据/下载"}},
      {"on the window itself", "frmMain", {QUrl::fromLocalFile("/数据")}, true, {"/数据"}},
      {"on the editable list, refused by the program",
       "cobFilter",
       {QUrl::fromLocalFile("/没有")},
       false,
       {"/没有"}},
  };
  const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  using PathLists = std::vector<std::vector<Text>>;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    events_.offered.clear();
    events_.dropped.clear();
    events_.takesDrops = c.taken;
    QMimeData data;
    data.setUrls(c.urls);
    QWidget* target = W(c.target);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_EQ(enter.isAccepted(), c.taken);
    EXPECT_EQ(events_.offered, PathLists{c.paths});
    QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(drop.isAccepted(), c.taken);
    EXPECT_EQ(drop.dropAction(), c.taken ? Qt::CopyAction : drop.proposedAction());
    EXPECT_EQ(events_.dropped, c.taken ? PathLists{c.paths} : PathLists{});
  }
  QMimeData text;
  text.setText("D:\\文本");
  QDragEnterEvent enter(W("txtPath")->rect().center(), offered, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(W("txtPath"), &enter);
  EXPECT_TRUE(enter.isAccepted()) << "text dragged into the field stays the field's";
  EXPECT_EQ(events_.offered.size(), 1u);
}

}  // namespace
}  // namespace quernel::testing
