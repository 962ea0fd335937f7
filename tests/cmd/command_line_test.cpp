#include "quernel-cmd/command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quernel::cmd {
namespace {

struct PercentCase {
  std::string line;
  std::string expanded;
};

void PrintTo(const PercentCase& c, std::ostream* os) {
  *os << c.line;
}

class PercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTest, ExpandsAsInABatchFile) {
  const std::map<std::string, std::string, std::less<>> variables{{"HOME", "/home/u"}, {"Empty", ""}};
  const EnvironmentLookup lookup = [&](std::string_view name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    return found == variables.end() ? std::nullopt : std::optional(found->second);
  };
  EXPECT_EQ(ExpandPercents(GetParam().line, lookup, "/q/path.bat"), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(Lines, PercentTest,
                         ::testing::Values(PercentCase{"dir \"%HOME%\\*.*\"", "dir \"/home/u\\*.*\""},
                                           PercentCase{"dir \"/m\\100%%\\*.*\"", "dir \"/m\\100%\\*.*\""},
                                           PercentCase{"a%UNSET%b", "ab"}, PercentCase{"a%Empty%b", "ab"},
                                           PercentCase{"50% off", "50 off"},
                                           PercentCase{"%0 %1%*x", "/q/path.bat x"},
                                           PercentCase{"%%HOME%%", "%HOME%"},
                                           PercentCase{"no percent", "no percent"}));

struct ParseCase {
  std::string line;
  std::vector<Word> words;
  std::optional<std::string> redirect;
  bool append;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.line;
}

class CommandLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineTest, SplitsWordsAndRedirect) {
  const auto parsed = ParseCommandLine(GetParam().line);
  ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed));
  const auto& command = std::get<CommandLine>(parsed);
  EXPECT_EQ(command.words, GetParam().words);
  EXPECT_EQ(command.redirect ? std::optional(command.redirect->target) : std::nullopt, GetParam().redirect);
  if (command.redirect) {
    EXPECT_EQ(command.redirect->append, GetParam().append);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        ParseCase{"dir \"/home/u/Music\\*.mp3\"  /a:h /o:-n /l /B >\"/home/u/quernel\\Path.txt\"",
                  {{"dir", false},
                   {"/home/u/Music\\*.mp3", true},
                   {"/a:h", false},
                   {"/o:-n", false},
                   {"/l", false},
                   {"/B", false}},
                  "/home/u/quernel\\Path.txt",
                  false},
        ParseCase{"dir \"/data\\*.*\"    /o:n /B >\"/opt/q\\Path.txt\"",
                  {{"dir", false}, {"/data\\*.*", true}, {"/o:n", false}, {"/B", false}},
                  "/opt/q\\Path.txt",
                  false},
        ParseCase{"dir /my\" music\"\\*.*>>out.txt /b",
                  {{"dir", false}, {"/my music\\*.*", true}, {"/b", false}},
                  "out.txt",
                  true},
        ParseCase{"\tdir\t/w  ", {{"dir", false}, {"/w", false}}, std::nullopt, false},
        ParseCase{"exit 3", {{"exit", false}, {"3", false}}, std::nullopt, false}));

TEST(CommandLineErrors, PipesAndDanglingRedirectsAreSyntaxErrors) {
  for (const char* line : {"dir | more", "dir >", "dir > > x", "dir < in", "dir & exit"}) {
    const auto parsed = ParseCommandLine(line);
    ASSERT_TRUE(std::holds_alternative<CommandError>(parsed)) << line;
    EXPECT_EQ(std::get<CommandError>(parsed).kind, CommandError::Kind::Syntax) << line;
  }
}

}  // namespace
}  // namespace quernel::cmd
