#include "quernel-cmd/wildcard.h"

#include <algorithm>
#include <string>

#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

std::vector<char32_t> CodePoints(std::string_view utf8) {
  std::vector<char32_t> result;
  std::size_t pos = 0;
  while (pos < utf8.size()) result.push_back(NextCodePoint(utf8, pos));
  return result;
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
  // Trailing dots are dropped as Windows drops them from any path, but a
  // wildcard just before them still counts as followed by a dot.
  bool had_trailing_dot = false;
  while (!pattern.empty() && pattern.back() == '.') {
    pattern.remove_suffix(1);
    had_trailing_dot = true;
  }
  if (pattern.empty() || pattern == "*.*" || (pattern == "*" && !had_trailing_dot)) {
    matches_everything_ = true;
    return;
  }
  const std::vector<char32_t> chars = CodePoints(pattern);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const bool last = i + 1 == chars.size();
    const char32_t next = last ? 0 : chars[i + 1];
    switch (chars[i]) {
      case '?':
        tokens_.push_back({Kind::Question, 0});
        break;
      case '*':
        tokens_.push_back({next == '.' || (last && had_trailing_dot) ? Kind::StarBeforeDot : Kind::Star, 0});
        break;
      case '.':
        tokens_.push_back({next == '*' || next == '?' ? Kind::DotOrEnd : Kind::Literal, '.'});
        break;
      default:
        tokens_.push_back({Kind::Literal, FoldCase(chars[i])});
    }
  }
}

void WildcardPattern::AddClosure(std::vector<char>& states, bool at_end, char32_t next) const {
  for (std::size_t i = 0; i < tokens_.size(); ++i) {
    if (!states[i]) continue;
    switch (tokens_[i].kind) {
      case Kind::Star:
      case Kind::StarBeforeDot:
        states[i + 1] = 1;
        break;
      case Kind::Question:
        if (at_end || next == '.') states[i + 1] = 1;
        break;
      case Kind::DotOrEnd:
        if (at_end) states[i + 1] = 1;
        break;
      case Kind::Literal:
        break;
    }
  }
}

bool WildcardPattern::Matches(std::string_view utf8_name) const {
  if (matches_everything_) return true;
  const std::vector<char32_t> name = CodePoints(utf8_name);
  std::size_t last_dot = name.size();
  for (std::size_t i = 0; i < name.size(); ++i)
    if (name[i] == '.') last_dot = i;

  std::vector<char> states(tokens_.size() + 1, 0);
  std::vector<char> next_states(tokens_.size() + 1, 0);
  states[0] = 1;
  AddClosure(states, name.empty(), name.empty() ? 0 : name[0]);
  for (std::size_t pos = 0; pos < name.size(); ++pos) {
    const char32_t c = name[pos];
    const char32_t folded = FoldCase(c);
    std::fill(next_states.begin(), next_states.end(), 0);
    bool any = false;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (!states[i]) continue;
      std::size_t target = tokens_.size() + 1;
      switch (tokens_[i].kind) {
        case Kind::Literal:
          if (tokens_[i].folded == folded) target = i + 1;
          break;
        case Kind::Star:
          target = i;
          break;
        case Kind::StarBeforeDot:
          if (c != '.' || pos != last_dot) target = i;
          break;
        case Kind::Question:
          if (c != '.') target = i + 1;
          break;
        case Kind::DotOrEnd:
          if (c == '.') target = i + 1;
          break;
      }
      if (target <= tokens_.size()) {
        next_states[target] = 1;
        any = true;
      }
    }
    if (!any) return false;
    states.swap(next_states);
    const bool at_end = pos + 1 == name.size();
    AddClosure(states, at_end, at_end ? 0 : name[pos + 1]);
  }
  return states[tokens_.size()] != 0;
}

}  // namespace quernel::cmd
