#include "quernel-cmd/charset.h"

#include <gtest/gtest.h>

#include "quernel-cmd/text.h"

namespace quernel::cmd {
namespace {

TEST(Charset, GbkRoundTripsChinese) {
  Charset gbk("GBK");
  ASSERT_FALSE(gbk.IsUtf8());
  const std::string native = gbk.FromUtf8("苹果.txt");
  EXPECT_EQ(native, "\xC6\xBB\xB9\xFB.txt");
  EXPECT_EQ(gbk.ToUtf8(native), "苹果.txt");
}

struct ReplacementCase {
  std::string charset;
  std::string input;
  std::string expected;
  bool encode;  // UTF-8 to the charset, else the other way
};

void PrintTo(const ReplacementCase& c, std::ostream* os) {
  *os << c.charset << (c.encode ? " encode" : " decode");
}

class CharsetReplacementTest : public ::testing::TestWithParam<ReplacementCase> {};

TEST_P(CharsetReplacementTest, ReplacesWhatCannotBeConvertedWithQuestionMark) {
  const ReplacementCase& c = GetParam();
  Charset charset(c.charset);
  EXPECT_EQ(c.encode ? charset.FromUtf8(c.input) : charset.ToUtf8(c.input), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Names, CharsetReplacementTest,
                         ::testing::Values(
                             // Hangul and emoji have no GBK form.
                             ReplacementCase{"GBK", "a한b😀.txt", "a?b?.txt", true},
                             // A stray byte in a GBK name.
                             ReplacementCase{"GBK",
                                             "a\xFF"
                                             "b",
                                             "a?b", false},
                             // Malformed UTF-8 in a name under a UTF-8 locale.
                             ReplacementCase{"UTF-8", "a\xC3(b\xE8\x8B", "a?(b??", false},
                             ReplacementCase{"UTF-8", "苹果", "苹果", false},
                             // The C locale passes UTF-8 names through.
                             ReplacementCase{"ANSI_X3.4-1968", "苹果", "苹果", true}));

TEST(Text, DisplayWidthCountsChineseAsTwoColumns) {
  EXPECT_EQ(DisplayWidth("apple.txt"), 9U);
  EXPECT_EQ(DisplayWidth("苹果.txt"), 8U);
  EXPECT_EQ(DisplayWidth("ＡＢ"), 4U);
  EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1U);  // e + combining acute
}

TEST(Text, LowerCaseAndThousands) {
  EXPECT_EQ(ToLower("README.TXT"), "readme.txt");
  EXPECT_EQ(ToLower("ÄÖÜ.Mp3"), "äöü.mp3");
  EXPECT_EQ(GroupThousands(0), "0");
  EXPECT_EQ(GroupThousands(999), "999");
  EXPECT_EQ(GroupThousands(1234), "1,234");
  EXPECT_EQ(GroupThousands(12345678901), "12,345,678,901");
}

}  // namespace
}  // namespace quernel::cmd
