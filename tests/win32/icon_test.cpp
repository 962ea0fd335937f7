// The committed icon is what resources/icon/draw_icon.cpp draws, in the
// format the resource compiler and the shell take.
#include <gtest/gtest.h>

#include <cstdint>

#include "folder_icon.h"
#include "support/test_support.h"

namespace {

std::string Committed() {
  return quernel::testing::ReadBytes(quernel::testing::HostPath(QUERNEL_ICON_FILE));
}

unsigned Word(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned>(static_cast<std::uint8_t>(bytes.at(at))) |
         static_cast<unsigned>(static_cast<std::uint8_t>(bytes.at(at + 1))) << 8;
}

TEST(ProgramIcon, IsOne32By32ImageOf256Colours) {
  const std::string ico = Committed();
  ASSERT_GE(ico.size(), 22u + 40u);
  EXPECT_EQ(Word(ico, 0), 0u);
  EXPECT_EQ(Word(ico, 2), 1u) << "an icon, not a cursor";
  EXPECT_EQ(Word(ico, 4), 1u) << "one image";
  EXPECT_EQ(static_cast<std::uint8_t>(ico[6]), 32) << "width";
  EXPECT_EQ(static_cast<std::uint8_t>(ico[7]), 32) << "height";
  EXPECT_EQ(Word(ico, 12), 8u) << "bits a pixel in the directory";
  const std::size_t image = Word(ico, 18);
  EXPECT_EQ(Word(ico, image + 14), 8u) << "bits a pixel in the bitmap";
  EXPECT_EQ(Word(ico, image + 8), 64u) << "pixels and AND mask";
  EXPECT_EQ(Word(ico, 14) + image, ico.size()) << "the directory gives the image's size";
}

TEST(ProgramIcon, IsExactlyWhatTheDrawingProgramWrites) {
  EXPECT_TRUE(Committed() == quernel::icon::FolderIconFile())
      << "redraw it: see resources/icon/draw_icon.cpp";
}

TEST(ProgramIcon, IsTransparentAroundTheFolderOnly) {
  const std::string ico = quernel::icon::FolderIconFile();
  const std::size_t mask = ico.size() - 32 * 4;  // bottom-up rows of 32 bits
  auto transparent = [&](int x, int y) {
    const auto row = mask + static_cast<std::size_t>(31 - y) * 4;
    return (static_cast<std::uint8_t>(ico[row + static_cast<std::size_t>(x / 8)]) >> (7 - x % 8)) & 1;
  };
  EXPECT_TRUE(transparent(0, 0));
  EXPECT_TRUE(transparent(31, 31));
  EXPECT_FALSE(transparent(16, 20)) << "the folder's front";
  EXPECT_FALSE(transparent(12, 8)) << "the sheet of paper";
}

}  // namespace
