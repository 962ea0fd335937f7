#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/utf8.h"

namespace quernel::cmd {

// Appends `bytes` to `out` with every malformed UTF-8 byte replaced by '?'.
void AppendSanitizedUtf8(std::string& out, std::string_view bytes);

// Columns a terminal gives the text: East Asian wide and full-width
// characters take two, combining marks none.
std::size_t DisplayWidth(std::string_view utf8);

// `utf8` with each control character (C0, DEL, C1) made '?', so that a name
// with a line break, a tab or an escape sequence stays one line of a listing.
std::string WithoutControlCharacters(std::string_view utf8);
bool HasControlCharacters(std::string_view utf8);

std::string ToLower(std::string_view utf8);

// Simple case folding, as used for case-insensitive name comparison.
char32_t FoldCase(char32_t code_point);

// 1234567 -> "1,234,567"
std::string GroupThousands(std::uint64_t value);

}  // namespace quernel::cmd
