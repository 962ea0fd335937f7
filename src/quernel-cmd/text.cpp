#include "quernel-cmd/text.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace quernel::cmd {

namespace {

constexpr char32_t replacement_character = 0xFFFD;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0U) == 0x80U;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80U; });
}

}  // namespace

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80U) return 1;
  if ((lead & 0xE0U) == 0xC0U) return 2;
  if ((lead & 0xF0U) == 0xE0U) return 3;
  if ((lead & 0xF8U) == 0xF0U) return 4;
  return 1;
}

char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(utf8[pos]);
  const std::size_t length = Utf8SequenceLength(lead);
  if (length == 1) {
    ++pos;
    return lead < 0x80U ? char32_t{lead} : replacement_character;
  }
  if (pos + length > utf8.size()) {
    ++pos;
    return replacement_character;
  }
  const unsigned lead_bits[] = {0, 0, 0x1FU, 0x0FU, 0x07U};
  char32_t code_point = lead & lead_bits[length];
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(utf8[pos + i]);
    if (!IsContinuation(byte)) {
      ++pos;
      return replacement_character;
    }
    code_point = (code_point << 6U) | (byte & 0x3FU);
  }
  const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code_point < smallest[length] || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    ++pos;
    return replacement_character;
  }
  pos += length;
  return code_point;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  const auto byte = [](char32_t bits) { return static_cast<char>(static_cast<unsigned char>(bits)); };
  if (code_point < 0x80) {
    out += byte(code_point);
  } else if (code_point < 0x800) {
    out += byte(0xC0U | (code_point >> 6U));
    out += byte(0x80U | (code_point & 0x3FU));
  } else if (code_point < 0x10000) {
    out += byte(0xE0U | (code_point >> 12U));
    out += byte(0x80U | ((code_point >> 6U) & 0x3FU));
    out += byte(0x80U | (code_point & 0x3FU));
  } else {
    out += byte(0xF0U | (code_point >> 18U));
    out += byte(0x80U | ((code_point >> 12U) & 0x3FU));
    out += byte(0x80U | ((code_point >> 6U) & 0x3FU));
    out += byte(0x80U | (code_point & 0x3FU));
  }
}

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
        code_point == replacement_character && bytes.substr(start, pos - start) != "\xEF\xBF\xBD";
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
    for (char& c : lowered)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
  }
  std::string lowered;
  icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(lowered);
  return lowered;
}

char32_t FoldCase(char32_t code_point) {
  if (code_point < 0x80) {
    return code_point >= 'A' && code_point <= 'Z' ? code_point + ('a' - 'A') : code_point;
  }
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(code_point), U_FOLD_CASE_DEFAULT));
}

bool IequalsAscii(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
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
