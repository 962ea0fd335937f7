// The whole program on the Qt back-end: RunQuernel with the real services, a
// user at the keyboard and mouse, the batch file run by the real quernel-cmd,
// and the window's picture. It runs under a UTF-8 and under a GBK locale; on
// a GBK system the names on the disk are GBK bytes too.

#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <filesystem>

#include "core/frm_main.h"
#include "design/program_texts.h"
#include "platform/posix/locale_charset.h"
#include "platform/posix/posix_code_page.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_shell_dialogs.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_window_runtime.h"
#include "qt_test_support.h"

namespace quernel::testing {
namespace {

namespace fs = std::filesystem;

Text Replaced(Text text, std::string_view placeholder, const Text& value) {
  for (auto at = text.find(placeholder); at != Text::npos; at = text.find(placeholder, at + value.size()))
    text.replace(at, placeholder.size(), value);
  return text;
}

class WholeWindow : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!codePage_) GTEST_SKIP() << GetParam() << " is not generated (scripts/install-deps.sh makes it)";
    savedLocale_ = qgetenv("LC_ALL");
    qputenv("LC_ALL", GetParam());  // quernel-cmd reads the batch file in the locale's charset
    RecordViewer(window_, opened_);
    data_.Write(Local("音乐/歌曲.mp3"), "mp3");
    data_.Write(Local("音乐/readme.txt"), "text");
    fs::create_directories(data_.Path() / Local("音乐/子文件夹"));
  }
  void TearDown() override {
    if (codePage_) qputenv("LC_ALL", savedLocale_);
  }

  // Runs the program; `session` is the user, who ends it.
  void Run(const std::function<void(QWidget* form)>& session) {
    QTimer::singleShot(0, [this, session] {
      EXPECT_TRUE(QTest::qWaitForWindowActive(window_.Form()));
      session(window_.Form());
      if (window_.Form()) window_.Form()->close();
    });
    QTimer failsafe;
    QObject::connect(&failsafe, &QTimer::timeout, [this] {
      if (window_.Form()) window_.Form()->close();
    });
    failsafe.start(30000);
    RunQuernel({window_, files_, shell_, *codePage_});
  }
  Text Folder() const { return data_.Name() + "/音乐"; }
  // Text in the locale's character set.
  std::string Local(const Text& text) const {
    return posix::ConvertCharset(text, "UTF-8", codePage_->Name()).value_or("(not in the charset)");
  }

  TempFolder program_;
  TempFolder data_;
  BoxRecorder boxes_;
  QtWindowRuntime window_{QtRuntimeSettings{program_.Name(), boxes_.Runner()}};
  posix::PosixFileSystem files_;
  QtShellDialogs shell_{boxes_.Runner()};
  std::unique_ptr<posix::PosixCodePage> codePage_ = posix::PosixCodePage::ForLocale(GetParam());
  std::vector<QStringList> opened_;
  QByteArray savedLocale_;
};

void PressIn(QWidget* form, const char* name, Qt::Key key, int times = 1) {
  QWidget* widget = Find(form, name);
  widget->setFocus();
  for (int i = 0; i < times; ++i) Press(widget, key);
}

TEST_P(WholeWindow, TheUsersChoicesBecomeTheBatchFileAndTheListing) {
  struct Case {
    const char* what;
    std::function<void(QWidget*, const QString&)> user;
    Text command;  // {F}: the folder, {P}: the program's folder
    std::vector<Text> listed, notListed;
  };
  const Case cases[] = {
      {"the defaults, Enter in the folder field",
       [](QWidget* form, const QString& folder) {
         TypeInto(Find(form, "txtPath"), folder);
         Press(Find(form, "txtPath"), Qt::Key_Return);
       },
       R"(dir "{F}\*.*"    /o:n /B >"{P}\Path.txt")",
       {"歌曲.mp3", "readme.txt", "子文件夹"},
       {}},
      {"all entries by size descending, lower case, wide; the output button clicked",
       [](QWidget* form, const QString& folder) {
         TypeInto(Find(form, "txtPath"), folder);
         PressIn(form, "cobType", Qt::Key_Down);
         PressIn(form, "cobSort", Qt::Key_Down);
         PressIn(form, "cobWay", Qt::Key_Down, 2);
         PressAlt(form, 'L');
         PressAlt(form, 'W');
         ClickWithMouse(Find(form, "cmdOut"));
       },
       R"(dir "{F}\*.*"  /a  /o:-s /l /w >"{P}\Path.txt")",
       {"readme.txt", "歌曲.mp3"},
       {}},
      {"folders only, a typed pattern, Alt+O",
       [](QWidget* form, const QString& folder) {
         TypeInto(Find(form, "txtPath"), folder);
         PressIn(form, "cobType", Qt::Key_Down, 2);
         PressAlt(form, 'D');
         auto* filter = static_cast<QComboBox*>(Find(form, "cobFilter"));
         filter->setFocus();
         filter->lineEdit()->selectAll();
         TypeInto(filter->lineEdit(), "*");  // a prefix of the entry "*.*": taken as typed
         PressAlt(form, 'O');
       },
       R"(dir "{F}\*"  /a:d /o:n /B >"{P}\Path.txt")",
       {"子文件夹"},
       {"readme.txt", "歌曲.mp3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes_.boxes.clear();
    opened_.clear();
    std::string batch, listing;
    Run([&](QWidget* form) {
      c.user(form, ToQString(Folder()));
      batch = program_.Read("path.bat");
      listing = program_.Read("Path.txt");
      Press(form->focusWidget(), Qt::Key_Escape);
    });
    const Text command = Replaced(Replaced(c.command, "{F}", Folder()), "{P}", program_.Name());
    EXPECT_EQ(batch, Local(command + "\r\nexit\r\n"));
    for (const Text& name : c.listed) EXPECT_NE(listing.find(Local(name)), std::string::npos) << name;
    for (const Text& name : c.notListed) EXPECT_EQ(listing.find(Local(name)), std::string::npos) << name;

    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].icon, QMessageBox::Information) << boxes_.boxes[0].text.toStdString();
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QStringList{ToQString(program_.Name() + "/Path.txt")});
    EXPECT_FALSE(fs::exists(program_.Path() / "path.bat")) << "the batch file goes when the window closes";
  }
}

// The window as the user first sees it, saved for a look and checked where a
// fault shows: blue list text and frame captions, the groove, the notice.
TEST_P(WholeWindow, ThePictureOfTheWindow) {
  QImage picture;
  QRect notice, typeList, frameCaption;
  Run([&](QWidget* form) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    Settle();
    picture = form->grab().toImage();
    notice = Find(form, "Label5")->geometry();
    typeList = Find(form, "cobType")->geometry().translated(Find(form, "Frame1")->pos());
    frameCaption = QRect(Find(form, "Frame2")->pos(), QSize(80, 14));
  });
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size() / picture.devicePixelRatio(), QSize(426, 240));
  const fs::path saved = fs::path(QUERNEL_SCREENSHOT_FOLDER) / "quernel-qt.png";
  fs::create_directories(saved.parent_path());
  EXPECT_TRUE(picture.save(QString::fromStdString(saved.string())));
  std::printf("screenshot: %s\n", saved.c_str());

  auto count = [&](QRect area, auto wanted) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += wanted(picture.pixelColor(x, y));
    return n;
  };
  auto blue = [](QColor c) { return c.blue() > 200 && c.red() < 90 && c.green() < 90; };
  EXPECT_GT(count(typeList, blue), 20) << "the chosen entry is written in blue";
  EXPECT_GT(count(frameCaption, blue), 20) << "the frame caption is blue";
  auto lineGrey = [](QColor c) { return c == QColor(128, 128, 128); };
  auto white = [](QColor c) { return c == QColor(255, 255, 255); };
  EXPECT_GT(count(QRect(notice.right() + 1, 227, 425 - notice.right(), 1), lineGrey), 250) << "the grey line";
  EXPECT_GT(count(QRect(notice.right() + 1, 228, 425 - notice.right(), 1), white), 250) << "the white line";
  EXPECT_LT(count(QRect(notice.left(), 227, notice.width(), 1), lineGrey), notice.width() / 3)
      << "the notice hides the lines behind it";
}

// The About box and the notice, saved beside the window's picture for a look.
TEST_P(WholeWindow, PicturesOfTheBoxes) {
  std::vector<QImage> pictures;
  boxes_.answer = [&](QDialog& box) {
    box.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
    pictures.push_back(box.grab().toImage());
    box.hide();
    return int(QDialog::Accepted);
  };
  Run([this](QWidget* form) {
    ClickWithMouse(Find(form, "cmdAbout"));
    TypeInto(Find(form, "txtPath"), ToQString(Folder()));
    ClickWithMouse(Find(form, "cmdOut"));
  });
  ASSERT_EQ(pictures.size(), 2u);
  const fs::path folder = fs::path(QUERNEL_SCREENSHOT_FOLDER);
  for (const auto& [picture, name] :
       {std::pair{pictures[0], "quernel-qt-about.png"}, {pictures[1], "quernel-qt-notice.png"}}) {
    EXPECT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QString::fromStdString((folder / name).string())));
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, WholeWindow, ::testing::Values("zh_CN.UTF-8", "zh_CN.GBK"),
                         [](const auto& locale) {
                           return std::string(locale.param)[6] == 'U' ? "Utf8" : "Gbk";
                         });

}  // namespace
}  // namespace quernel::testing
