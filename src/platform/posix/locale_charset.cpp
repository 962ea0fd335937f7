#include "platform/posix/locale_charset.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>

namespace quernel::posix {

LocaleHandle::LocaleHandle(const char* name) : locale_(newlocale(LC_ALL_MASK, name, locale_t{})) {}

LocaleHandle::~LocaleHandle() {
  if (Valid()) freelocale(locale_);
}

std::string LocaleHandle::Charset() const {
  return Valid() ? nl_langinfo_l(CODESET, locale_) : "ANSI_X3.4-1968";
}

std::optional<std::string> ConvertCharset(std::string_view bytes, const std::string& from,
                                          const std::string& to) {
  const iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;

  std::string in(bytes);
  std::string out(in.size() * 4 + 16, '\0');
  char* inNext = in.data();
  std::size_t inLeft = in.size();
  char* outNext = out.data();
  std::size_t outLeft = out.size();
  // No character set takes more than four bytes for one input byte, so a
  // single call converts everything.
  const std::size_t result = iconv(converter, &inNext, &inLeft, &outNext, &outLeft);
  const bool complete =
      result != static_cast<std::size_t>(-1) &&
      iconv(converter, nullptr, nullptr, &outNext, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (!complete) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace quernel::posix
