#pragma once

#include <algorithm>
#include <string_view>

// ASCII letters and their case, the one case Windows' file names and cmd's
// words ignore everywhere: other letters keep theirs.
namespace quernel {

template <class Char>
constexpr Char LowerAscii(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <class Char>
constexpr Char UpperAscii(Char c) {
  return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

constexpr bool IsAsciiLetter(char c) {
  return LowerAscii(c) >= 'a' && LowerAscii(c) <= 'z';
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace quernel
