#include "quernel-cmd/formatting.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"

namespace quernel::cmd {
namespace {

using testing::LocalTime;

struct TimestampCase {
  int hour;
  int minute;
  Language language;
  std::string expected;
};

void PrintTo(const TimestampCase& c, std::ostream* os) {
  *os << c.expected;
}

class TimestampTest : public ::testing::TestWithParam<TimestampCase> {};

TEST_P(TimestampTest, MatchesCmdsDateColumns) {
  const TimestampCase& c = GetParam();
  EXPECT_EQ(FormatTimestamp(LocalTime(2026, 12, 6, c.hour, c.minute), c.language), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Times, TimestampTest,
                         ::testing::Values(TimestampCase{22, 8, Language::English, "12/06/2026  10:08 PM"},
                                           TimestampCase{0, 5, Language::English, "12/06/2026  12:05 AM"},
                                           TimestampCase{12, 0, Language::English, "12/06/2026  12:00 PM"},
                                           TimestampCase{9, 30, Language::English, "12/06/2026  09:30 AM"},
                                           TimestampCase{22, 8, Language::Chinese, "2026/12/06  22:08"},
                                           TimestampCase{0, 5, Language::Chinese, "2026/12/06  00:05"}));

Listing MakeListing(std::initializer_list<std::pair<const char*, std::int64_t>> entries) {
  Listing listing;
  for (const auto& [name, size] : entries) {
    EntryFacts facts;
    facts.size = size < 0 ? 0 : size;
    facts.attributes = size < 0 ? attribute::directory : attribute::archive;
    facts.modified_seconds = LocalTime(2026, 12, 6, 22, 8);
    listing.Add(name, facts);
  }
  return listing;
}

std::string spaces(std::size_t count) {
  return std::string(count, ' ');
}

TEST(Formatting, WideColumnsLineUpWithChineseNamesTwoColumnsWide) {
  // Widest cell 25 columns: three columns of 26 fit in 80.
  const Listing listing = MakeListing({{".", -1},
                                       {"..", -1},
                                       {"音乐", -1},
                                       {"apple.txt", 1},
                                       {"苹果.txt", 2},
                                       {"a-very-long-file-name.txt", 3},
                                       {"b.txt", 4}});
  StringSink out;
  WriteListing(listing, {ListingFormat::Wide, false, Language::English}, {"/data", 5}, out);
  EXPECT_EQ(out.Text(),
            "\r\n Directory of /data\r\n\r\n"
            "[.]" +
                spaces(23) + "[..]" + spaces(22) + "[音乐]\r\n" + "apple.txt" + spaces(17) + "苹果.txt" +
                spaces(18) + "a-very-long-file-name.txt\r\n" + "b.txt\r\n" +
                "               4 File(s)             10 bytes\r\n" +
                "               3 Dir(s)               5 bytes free\r\n");
}

TEST(Formatting, FooterIsRightAlignedAsCmdWritesIt) {
  const Listing listing = MakeListing({{"a", 1000}, {"b", 200}, {"c", 34}, {"d", -1}, {"e", -1}});
  StringSink chinese;
  WriteListing(listing, {ListingFormat::Full, false, Language::Chinese}, {"/data", 12345678901}, chinese);
  EXPECT_TRUE(
      chinese.Text().ends_with("               3 个文件          1,234 字节\r\n"
                               "               2 个目录 12,345,678,901 可用字节\r\n"));
  StringSink english;
  WriteListing(listing, {ListingFormat::Full, false, Language::English}, {"/data", 12345678901}, english);
  EXPECT_TRUE(
      english.Text().ends_with("               3 File(s)          1,234 bytes\r\n"
                               "               2 Dir(s)  12,345,678,901 bytes free\r\n"));
}

}  // namespace
}  // namespace quernel::cmd
