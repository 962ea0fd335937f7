#include "dir_options.hpp"

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
  ASSERT_FALSE(parse_dir_arguments(c.words, options));
  EXPECT_EQ(options.path, c.path);
  EXPECT_EQ(options.filter.required, c.filter.required);
  EXPECT_EQ(options.filter.excluded, c.filter.excluded);
  EXPECT_EQ(options.sort, c.sort);
  EXPECT_EQ(options.format(), c.format);
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
            {{SortField::name, true}},
            ListingFormat::bare,
            true},
        OptionsCase{words({"/data\\*.*", "/a", "/o:s", "/w"}),
                    "/data\\*.*",
                    everything,
                    {{SortField::size, false}},
                    ListingFormat::wide,
                    false},
        OptionsCase{words({"/a:", "/O:N"}),
                    std::nullopt,
                    everything,
                    {{SortField::name, false}},
                    ListingFormat::full,
                    false},
        OptionsCase{words({"/A:-H", "/o-e"}),
                    std::nullopt,
                    {0, hidden},
                    {{SortField::extension, true}},
                    ListingFormat::full,
                    false},
        OptionsCase{words({"/ad-r", "/o:gn"}),
                    std::nullopt,
                    {directory, read_only},
                    {{SortField::group, false}, {SortField::name, false}},
                    ListingFormat::full,
                    false},
        OptionsCase{words({"/o"}),
                    std::nullopt,
                    default_filter,
                    {{SortField::group, false}, {SortField::name, false}},
                    ListingFormat::full,
                    false},
        OptionsCase{words({"/b/o:d", "/w"}),
                    std::nullopt,
                    default_filter,
                    {{SortField::date, false}},
                    ListingFormat::bare,
                    false},
        // Unquoted POSIX paths are not switches.
        OptionsCase{words({"/data", "/b"}), "/data", default_filter, {}, ListingFormat::bare, false},
        OptionsCase{words({"/tmp/x\\*.*"}), "/tmp/x\\*.*", default_filter, {}, ListingFormat::full, false}));

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
  const auto error = parse_dir_arguments(GetParam().words, options);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, GetParam().kind);
  EXPECT_EQ(error->detail, GetParam().detail);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DirOptionsErrorTest,
    ::testing::Values(ErrorCase{words({"/q"}), CommandError::Kind::invalid_switch, "q"},
                      ErrorCase{words({"/s"}), CommandError::Kind::invalid_switch, "s"},
                      ErrorCase{words({"/a:x"}), CommandError::Kind::parameter_format, "x"},
                      ErrorCase{words({"/o:nz"}), CommandError::Kind::parameter_format, "nz"},
                      ErrorCase{words({"/o:n-"}), CommandError::Kind::parameter_format, "n-"},
                      ErrorCase{words({"/a", "/x:y"}), CommandError::Kind::invalid_switch, "x:y"},
                      ErrorCase{words({"one", "two"}), CommandError::Kind::too_many_parameters, "two"}));

}  // namespace
}  // namespace quernel::cmd
