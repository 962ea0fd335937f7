#include "design/form_design.h"

#include <gtest/gtest.h>

#include <set>

namespace quernel {
namespace {

// Captions and focus order are the table's data: the Qt suite's access keys and Tab order pin them.
TEST(FormDesign, HoldsTwentyEightUniquelyNamedControls) {
  std::set<std::string_view> names;
  for (const auto& line : LineDesigns()) names.insert(line.name);
  for (const auto& c : ControlDesigns()) names.insert(c.name);
  EXPECT_EQ(names.size(), 28u);
  for (auto name : names) EXPECT_EQ(NameOf(*ControlNamed(name)), name);
  EXPECT_EQ(AccessKey("文件夹(&F):"), 'F');
  EXPECT_EQ(ShownCaption("文件夹(&F):"), "文件夹(F):");
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

}  // namespace
}  // namespace quernel
