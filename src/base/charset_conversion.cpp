#include "base/charset_conversion.h"

#include <algorithm>
#include <cerrno>

namespace quernel {
namespace {

const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

}  // namespace

CharsetConverter::CharsetConverter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}

CharsetConverter::~CharsetConverter() {
  if (Valid()) iconv_close(descriptor_);
}

bool CharsetConverter::Valid() const {
  return descriptor_ != kNone;
}

bool CharsetConverter::Convert(std::string_view in, std::string& out, UnitLength unit) {
  out.clear();
  iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
  char buffer[4096];
  auto* input = const_cast<char*>(in.data());  // iconv's declaration lacks the const
  std::size_t inputLeft = in.size();
  while (inputLeft > 0) {
    char* output = buffer;
    std::size_t outputLeft = sizeof buffer;
    const std::size_t result = iconv(descriptor_, &input, &inputLeft, &output, &outputLeft);
    out.append(buffer, static_cast<std::size_t>(output - buffer));
    if (result != kFailed || errno == E2BIG) continue;
    if (!unit) return false;
    const std::size_t skipped = std::min(unit(static_cast<unsigned char>(*input)), inputLeft);
    out += '?';
    input += skipped;
    inputLeft -= skipped;
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
  }
  char* output = buffer;
  std::size_t outputLeft = sizeof buffer;
  const bool shifted = iconv(descriptor_, nullptr, nullptr, &output, &outputLeft) != kFailed;
  out.append(buffer, static_cast<std::size_t>(output - buffer));
  return shifted || unit;
}

std::optional<std::string> ConvertCharset(std::string_view bytes, const std::string& from,
                                          const std::string& to) {
  CharsetConverter converter(to.c_str(), from.c_str());
  std::string out;
  if (!converter.Valid() || !converter.Convert(bytes, out)) return std::nullopt;
  return out;
}

}  // namespace quernel
