#include "quernel-cmd/text.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

#include "base/ascii.h"

namespace quernel::cmd {

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80U; });
}

}  // namespace

void AppendSanitizedUtf8(std::string& out, std::string_view bytes) {
  if (IsAscii(bytes)) {
    out += bytes;
    return;
  }
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    const char32_t code_point = NextCodePoint(bytes, pos);
    const bool malformed =
        code_point == kReplacementCharacter && bytes.substr(start, pos - start) != "\xEF\xBF\xBD";
    if (malformed)
      out += '?';
    else
      out += bytes.substr(start, pos - start);
  }
}

std::string WithoutControlCharacters(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const bool c1 = byte == 0xC2U && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80U &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9FU;
    if (byte < 0x20U || byte == 0x7FU || c1) {
      out += '?';
      if (c1) ++i;
    } else {
      out += utf8[i];
    }
  }
  return out;
}

bool HasControlCharacters(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x20U || byte == 0x7FU) return true;
    if (byte == 0xC2U && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80U &&
        static_cast<unsigned char>(utf8[i + 1]) <= 0x9FU)
      return true;
  }
  return false;
}

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto code_point = static_cast<UChar32>(NextCodePoint(utf8, pos));
    if (code_point < 0x80) {
      ++width;
      continue;
    }
    const int east_asian = u_getIntPropertyValue(code_point, UCHAR_EAST_ASIAN_WIDTH);
    const int category = u_charType(code_point);
    if (east_asian == U_EA_WIDE || east_asian == U_EA_FULLWIDTH)
      width += 2;
    else if (category != U_NON_SPACING_MARK && category != U_ENCLOSING_MARK)
      ++width;
  }
  return width;
}

std::string ToLower(std::string_view utf8) {
  if (IsAscii(utf8)) {
    std::string lowered(utf8);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAscii<char>);
    return lowered;
  }
  std::string lowered;
  icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(lowered);
  return lowered;
}

char32_t FoldCase(char32_t code_point) {
  if (code_point < 0x80) return LowerAscii(code_point);
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(code_point), U_FOLD_CASE_DEFAULT));
}

std::string GroupThousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  std::string grouped;
  grouped.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace quernel::cmd
