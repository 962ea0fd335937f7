#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quernel::cmd {

// A file name pattern matched as Windows matches it: case-insensitively,
// with "*.*" meaning every name, a "?" that may match nothing before a dot
// or at the end, and a pattern ending in "." meaning names without an
// extension.
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view pattern);

  bool Matches(std::string_view utf8_name) const;
  bool MatchesEverything() const { return matches_everything_; }

 private:
  // Windows rewrites a pattern before matching it: "*" before a dot may
  // not pass the name's last dot, "?" matches nothing at a dot or the end,
  // and a dot before a wildcard may also match the end of the name.
  enum class Kind : std::uint8_t { Literal, Star, StarBeforeDot, Question, DotOrEnd };
  struct Token {
    Kind kind;
    char32_t folded;
  };

  void AddClosure(std::vector<char>& states, bool at_end, char32_t next) const;

  std::vector<Token> tokens_;
  bool matches_everything_ = false;
};

}  // namespace quernel::cmd
