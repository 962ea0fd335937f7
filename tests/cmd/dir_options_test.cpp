#include "quernel-cmd/dir_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quernel::cmd {
namespace {

using namespace attribute;

std::vector<Word> words(std::initializer_list<const char*> texts) {
  std::vector<Word> result;
  for (const char* text : texts) result.push_back({text, false});
  return result;
}

struct OptionsCase {
  std::vector<Word> words;
  std::optional<std::string> path;
  AttributeFilter filter;
  std::vector<SortKey> sort;
  ListingFormat format;
  bool lower_case;
};

void PrintTo(const OptionsCase& c, std::ostream* os) {
  for (const Word& word : c.words) *os << word.text << " ";
}

class DirOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(DirOptionsTest, ParsesSwitches) {
  const OptionsCase& c = GetParam();
  DirOptions options;
  ASSERT_FALSE(ParseDirArguments(c.words, options));
  EXPECT_EQ(options.path, c.path);
  EXPECT_EQ(options.filter.required, c.filter.required);
  EXPECT_EQ(options.filter.excluded, c.filter.excluded);
  EXPECT_EQ(options.sort, c.sort);
  EXPECT_EQ(options.Format(), c.format);
  EXPECT_EQ(options.lower_case, c.lower_case);
}

const AttributeFilter default_filter{};
const AttributeFilter everything{0, 0};

INSTANTIATE_TEST_SUITE_P(
    Switches, DirOptionsTest,
    ::testing::Values(
        OptionsCase{
            {{"/home/u/Music\\*.mp3", true}, {"/a:h", false}, {"/o:-n", false}, {"/l", false}, {"/B", false}},
            "/home/u/Music\\*.mp3",
            {hidden, 0},
            {{SortField::Name, true}},
            ListingFormat::Bare,
            true},
        OptionsCase{words({"/data\\*.*", "/a", "/o:s", "/w"}),
                    "/data\\*.*",
                    everything,
                    {{SortField::Size, false}},
                    ListingFormat::Wide,
                    false},
        OptionsCase{words({"/a:", "/O:N"}),
                    std::nullopt,
                    everything,
                    {{SortField::Name, false}},
                    ListingFormat::Full,
                    false},
        OptionsCase{words({"/A:-H", "/o-e"}),
                    std::nullopt,
                    {0, hidden},
                    {{SortField::Extension, true}},
                    ListingFormat::Full,
                    false},
        OptionsCase{words({"/ad-r", "/o:gn"}),
                    std::nullopt,
                    {directory, read_only},
                    {{SortField::Group, false}, {SortField::Name, false}},
                    ListingFormat::Full,
                    false},
        OptionsCase{words({"/o"}),
                    std::nullopt,
                    default_filter,
                    {{SortField::Group, false}, {SortField::Name, false}},
                    ListingFormat::Full,
                    false},
        OptionsCase{words({"/b/o:d", "/w"}),
                    std::nullopt,
                    default_filter,
                    {{SortField::Date, false}},
                    ListingFormat::Bare,
                    false},
        // Unquoted POSIX paths are not switches.
        OptionsCase{words({"/data", "/b"}), "/data", default_filter, {}, ListingFormat::Bare, false},
        OptionsCase{words({"/tmp/x\\*.*"}), "/tmp/x\\*.*", default_filter, {}, ListingFormat::Full, false}));

struct ErrorCase {
  std::vector<Word> words;
  CommandError::Kind kind;
  std::string detail;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  for (const Word& word : c.words) *os << word.text << " ";
}

class DirOptionsErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(DirOptionsErrorTest, RejectsBadSwitches) {
  DirOptions options;
  const auto error = ParseDirArguments(GetParam().words, options);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, GetParam().kind);
  EXPECT_EQ(error->detail, GetParam().detail);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DirOptionsErrorTest,
    ::testing::Values(ErrorCase{words({"/q"}), CommandError::Kind::InvalidSwitch, "q"},
                      ErrorCase{words({"/s"}), CommandError::Kind::InvalidSwitch, "s"},
                      ErrorCase{words({"/a:x"}), CommandError::Kind::ParameterFormat, "x"},
                      ErrorCase{words({"/o:nz"}), CommandError::Kind::ParameterFormat, "nz"},
                      ErrorCase{words({"/o:n-"}), CommandError::Kind::ParameterFormat, "n-"},
                      ErrorCase{words({"/a", "/x:y"}), CommandError::Kind::InvalidSwitch, "x:y"},
                      ErrorCase{words({"one", "two"}), CommandError::Kind::TooManyParameters, "two"}));

}  // namespace
}  // namespace quernel::cmd
