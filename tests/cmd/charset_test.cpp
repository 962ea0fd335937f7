#include "charset.hpp"

#include <gtest/gtest.h>

#include "text.hpp"

namespace quernel::cmd {
namespace {

TEST(Charset, GbkRoundTripsChinese) {
  Charset gbk("GBK");
  ASSERT_FALSE(gbk.is_utf8());
  const std::string native = gbk.from_utf8("苹果.txt");
  EXPECT_EQ(native, "\xC6\xBB\xB9\xFB.txt");
  EXPECT_EQ(gbk.to_utf8(native), "苹果.txt");
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
  EXPECT_EQ(c.encode ? charset.from_utf8(c.input) : charset.to_utf8(c.input), c.expected);
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
  EXPECT_EQ(display_width("apple.txt"), 9U);
  EXPECT_EQ(display_width("苹果.txt"), 8U);
  EXPECT_EQ(display_width("ＡＢ"), 4U);
  EXPECT_EQ(display_width("e\xCC\x81"), 1U);  // e + combining acute
}

TEST(Text, LowerCaseAndThousands) {
  EXPECT_EQ(to_lower("README.TXT"), "readme.txt");
  EXPECT_EQ(to_lower("ÄÖÜ.Mp3"), "äöü.mp3");
  EXPECT_EQ(group_thousands(0), "0");
  EXPECT_EQ(group_thousands(999), "999");
  EXPECT_EQ(group_thousands(1234), "1,234");
  EXPECT_EQ(group_thousands(12345678901), "12,345,678,901");
}

}  // namespace
}  // namespace quernel::cmd
