#include "design/form_design.h"

#include <gtest/gtest.h>

#include <set>

#include "design/program_texts.h"

namespace quernel {
namespace {

using enum ControlId;

TEST(FormDesign, HoldsTwentyEightUniquelyNamedControlsWithTheWindowsOwnCaptionsAndFocusOrder) {
  std::set<std::string_view> names;
  std::string captions, keys;
  for (const auto& line : LineDesigns()) names.insert(line.name);
  for (const auto& c : ControlDesigns()) {
    names.insert(c.name);
    if (!c.caption.empty() && c.id != Label5)
      captions += std::string(c.name) + " " + std::string(c.caption) + "|";
    if (auto key = AccessKey(c.caption)) keys += *key;
  }
  EXPECT_EQ(
      captions,
      "Label6 文件夹(&F):|cmdBrowse 浏览(&B)|Frame1 打印内容|Label3 文件类型:|Label4 后缀过滤:|"
      "optD 文件夹(&D)|optR 只读属性(&R)|optS 系统属性(&S)|optH 隐藏属性(&H)|optA 存档属性(&A)|"
      "Frame2 打印样式|Label1 排序根据|Label2 排序方向|chkL 字母小写(&L)|chkW 多列显示(&W)|"
      "chkT 单列显示-无详细信息(&T)|cmdAbout 关于(&B)|cmdHelp 帮助(&P)|cmdOut 输出(&O)|cmdExit 退出(&X)|");
  EXPECT_EQ(names.size(), 28u);
  for (auto name : names) EXPECT_EQ(NameOf(*ControlNamed(name)), name);
  EXPECT_EQ(keys, "FBDRSHALWTBPOX");
  EXPECT_EQ(ShownCaption("文件夹(&F):"), "文件夹(F):");
  std::string focus;  // from 输出 through the window to the multi-column box
  for (ControlId id : FocusOrder()) focus += std::string(NameOf(id)) + " ";
  EXPECT_EQ(focus,
            "cmdOut cmdBrowse txtPath cobSort chkL chkT cobWay cmdAbout cmdHelp cmdExit optR optH optS optA "
            "optD cobType cobFilter chkW ");
}

// At the 9-point font a Chinese character is 12 pixels (180 twips) wide and
// high, an ASCII one half as wide: the auto-sized labels measure their text.
// Framed controls lie inside their frame.
TEST(FormDesign, LabelsAreTheSizeOfTheirTextAndFramesHoldTheirControls) {
  for (const auto& c : ControlDesigns()) {
    if (c.container) {
      const ControlDesign& frame = DesignOf(*c.container);
      EXPECT_EQ(frame.kind, ControlKind::Frame) << c.name;
      EXPECT_LE(c.left + c.width, frame.width) << c.name;
      EXPECT_LE(c.top + c.height, frame.height) << c.name;
    }
    if (c.kind != ControlKind::Label) continue;
    int width = 0;
    for (std::size_t i = 0; i < c.caption.size();) {
      const bool ascii = static_cast<unsigned char>(c.caption[i]) < 0x80;
      if (c.caption[i] != '&') width += ascii ? 90 : 180;
      i += ascii ? 1 : 3;  // every non-ASCII character here is a 3-byte UTF-8 CJK one
    }
    EXPECT_EQ(c.width, width) << c.name;
    EXPECT_EQ(c.height, 180) << c.name;
  }
}

TEST(FormDesign, TheSeparatorIsAnEtchedGrooveAcrossTheWindowUnderTheNotice) {
  const auto lines = LineDesigns();
  ASSERT_EQ(lines.size(), 2u);
  for (const auto& line : lines) {
    EXPECT_LT(line.x1, 0);
    EXPECT_GT(line.x2, kFormDesign.clientWidth);
  }
  EXPECT_EQ(DesignOf(Label5).top + DesignOf(Label5).height / 2, lines[1].y1);
}

}  // namespace
}  // namespace quernel
