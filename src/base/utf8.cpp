#include "base/utf8.h"

namespace quernel {

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
  if (length == 1 || pos + length > utf8.size()) {
    ++pos;
    return lead < 0x80U ? char32_t{lead} : kReplacementCharacter;
  }
  constexpr unsigned kLeadBits[] = {0, 0, 0x1FU, 0x0FU, 0x07U};
  char32_t codePoint = lead & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(utf8[pos + i]);
    if ((byte & 0xC0U) != 0x80U) {
      ++pos;
      return kReplacementCharacter;
    }
    codePoint = (codePoint << 6U) | (byte & 0x3FU);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    ++pos;
    return kReplacementCharacter;
  }
  pos += length;
  return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  const auto byte = [](char32_t bits) { return static_cast<char>(static_cast<unsigned char>(bits)); };
  if (codePoint < 0x80) {
    out += byte(codePoint);
  } else if (codePoint < 0x800) {
    out += byte(0xC0U | (codePoint >> 6U));
    out += byte(0x80U | (codePoint & 0x3FU));
  } else if (codePoint < 0x10000) {
    out += byte(0xE0U | (codePoint >> 12U));
    out += byte(0x80U | ((codePoint >> 6U) & 0x3FU));
    out += byte(0x80U | (codePoint & 0x3FU));
  } else {
    out += byte(0xF0U | (codePoint >> 18U));
    out += byte(0x80U | ((codePoint >> 12U) & 0x3FU));
    out += byte(0x80U | ((codePoint >> 6U) & 0x3FU));
    out += byte(0x80U | (codePoint & 0x3FU));
  }
}

}  // namespace quernel
