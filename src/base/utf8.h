#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Stepping through UTF-8 text one character at a time, and writing it.
namespace quernel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Length of the sequence that `lead` starts (1 for a byte that starts none).
std::size_t Utf8SequenceLength(unsigned char lead);

// The character starting at `pos`, and `pos` moved past it. A byte that
// starts no well-formed sequence (a stray or missing continuation, an
// overlong form, a surrogate) gives U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace quernel
