// The wildcard matcher against a reference that reads the rules off the
// pattern as it goes and tries every way, remembering what it has tried.
// Input: the pattern, a zero byte, the name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "quernel-cmd/text.h"
#include "quernel-cmd/wildcard.h"

namespace {

using quernel::cmd::FoldCase;

std::vector<char32_t> CodePoints(std::string_view utf8) {
  std::vector<char32_t> result;
  std::size_t pos = 0;
  while (pos < utf8.size()) result.push_back(quernel::NextCodePoint(utf8, pos));
  return result;
}

// Windows' rules, one character of the pattern at a time:
// - dots at the end of the pattern are dropped; a pattern of dots only is
//   every name;
// - "*" is any run of characters; before a "." (or at the end of a pattern
//   that had dots dropped) it may not run past the name's last dot;
// - "?" is one character other than ".", or nothing before a "." or at the
//   end of the name;
// - "." before "*" or "?" is a "." or the end of the name;
// - anything else is itself, ignoring case.
class Reference {
 public:
  Reference(std::string_view pattern, std::string_view name) {
    bool dropped_dots = false;
    while (!pattern.empty() && pattern.back() == '.') {
      pattern.remove_suffix(1);
      dropped_dots = true;
    }
    pattern_ = CodePoints(pattern);
    name_ = CodePoints(name);
    dropped_dots_ = dropped_dots;
    last_dot_ = name_.size();
    for (std::size_t i = 0; i < name_.size(); ++i)
      if (name_[i] == '.') last_dot_ = i;
    memo_.assign((pattern_.size() + 1) * (name_.size() + 1), unknown);
  }

  bool Matches() { return pattern_.empty() || Match(0, 0); }

 private:
  static constexpr signed char unknown = -1;

  bool Match(std::size_t p, std::size_t n) {
    signed char& memo = memo_[p * (name_.size() + 1) + n];
    if (memo == unknown) memo = Compute(p, n) ? 1 : 0;
    return memo == 1;
  }

  bool Compute(std::size_t p, std::size_t n) {
    const bool name_ended = n == name_.size();
    if (p == pattern_.size()) return name_ended;
    const char32_t c = pattern_[p];
    const bool pattern_last = p + 1 == pattern_.size();
    const char32_t next = pattern_last ? 0 : pattern_[p + 1];
    if (c == '*') {
      const bool stops_at_last_dot = next == '.' || (pattern_last && dropped_dots_);
      for (std::size_t k = n;; ++k) {
        if (Match(p + 1, k)) return true;
        if (k == name_.size() || (stops_at_last_dot && k == last_dot_)) return false;
      }
    }
    if (c == '?') {
      if (!name_ended && name_[n] != '.' && Match(p + 1, n + 1)) return true;
      return (name_ended || name_[n] == '.') && Match(p + 1, n);
    }
    if (c == '.' && (next == '*' || next == '?')) {
      if (!name_ended && name_[n] == '.' && Match(p + 1, n + 1)) return true;
      return name_ended && Match(p + 1, n);
    }
    return !name_ended && FoldCase(name_[n]) == FoldCase(c) && Match(p + 1, n + 1);
  }

  std::vector<char32_t> pattern_;
  std::vector<char32_t> name_;
  bool dropped_dots_ = false;
  std::size_t last_dot_ = 0;
  std::vector<signed char> memo_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  const std::string_view pattern = input.substr(0, zero);
  const std::string_view name = zero == std::string_view::npos ? std::string_view{} : input.substr(zero + 1);
  const bool expected = Reference(pattern, name).Matches();
  const bool actual = quernel::cmd::WildcardPattern(pattern).Matches(name);
  if (actual != expected) {
    std::fprintf(stderr, "pattern \"%.*s\" name \"%.*s\": matcher says %d, reference %d\n",
                 static_cast<int>(pattern.size()), pattern.data(), static_cast<int>(name.size()), name.data(),
                 actual, expected);
    std::abort();
  }
  return 0;
}
