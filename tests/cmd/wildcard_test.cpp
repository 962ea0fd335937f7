#include "quernel-cmd/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace quernel::cmd {
namespace {

struct MatchCase {
  std::string pattern;
  std::string name;
  bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << c.pattern << " ~ " << c.name;
}

class WildcardTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardTest, MatchesAsWindowsDoes) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(WildcardPattern(c.pattern).Matches(c.name), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Patterns, WildcardTest,
                         ::testing::Values(
                             // "*.*" is every name, with or without a dot.
                             MatchCase{"*.*", "README", true}, MatchCase{"*.*", "a.txt", true},
                             MatchCase{"*.*", ".", true}, MatchCase{"*", "a.b.c", true},
                             // Case-insensitive, also beyond ASCII.
                             MatchCase{"*.txt", "NOTES.TXT", true}, MatchCase{"ÄB*", "äbc.txt", true},
                             MatchCase{"*.txt", "a.b.txt", true}, MatchCase{"*.txt", "a.txt.bak", false},
                             MatchCase{"*.txt", "txt", false},
                             // "." and ".." are shown for "*" and "*.*" only.
                             MatchCase{"*.txt", ".", false}, MatchCase{"*.txt", "..", false},
                             MatchCase{"?", ".", false}, MatchCase{"??", "..", false},
                             // A pattern ending in "." means names without an extension.
                             MatchCase{"*.", "README", true}, MatchCase{"*.", "a.txt", false},
                             MatchCase{"*.", "a.b.c", false}, MatchCase{"abc.", "abc", true},
                             MatchCase{"abc.", "abc.d", false},
                             // "?" before a dot or at the end may match nothing.
                             MatchCase{"??.txt", "a.txt", true}, MatchCase{"??.txt", "ab.txt", true},
                             MatchCase{"??.txt", "abc.txt", false}, MatchCase{"a?", "a", true},
                             MatchCase{"a?", "ab", true}, MatchCase{"a?", "abc", false},
                             MatchCase{"???", "苹果", true},
                             // A dot before a wildcard may match the end of the name.
                             MatchCase{"a.*", "a", true}, MatchCase{"a.*", "a.txt", true},
                             MatchCase{"a.?", "a", true}, MatchCase{"*.t*", "a.tar.gz", true},
                             MatchCase{"f*f.*", "fluff", true}, MatchCase{"苹*.txt", "苹果.txt", true},
                             MatchCase{"苹*.txt", "香蕉.txt", false}, MatchCase{"b*", "apple", false}));

}  // namespace
}  // namespace quernel::cmd
