#pragma once

#include <iconv.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Conversions between character sets with the C library's iconv (glibc's):
// POSIX only, not built for Windows.
namespace quernel {

// One direction of conversion, kept open for many texts.
class CharsetConverter {
 public:
  CharsetConverter(const char* to, const char* from);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  // False when iconv knows no such conversion.
  bool Valid() const;

  // How much input one unconvertible unit is, from its first byte: what a
  // lenient conversion replaces with one '?'.
  using UnitLength = std::size_t (*)(unsigned char first);

  // `in` converted into `out`. Strict (no `unit`): false at the first byte
  // that is malformed or has no place in the target set. Lenient: each such
  // unit becomes '?', and the conversion always succeeds.
  bool Convert(std::string_view in, std::string& out, UnitLength unit = nullptr);

 private:
  iconv_t descriptor_;
};

// `bytes` converted from one character set to another, or nullopt when a
// character has no place in the target set or the input is malformed.
std::optional<std::string> ConvertCharset(std::string_view bytes, const std::string& from,
                                          const std::string& to);

}  // namespace quernel
