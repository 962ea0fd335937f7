#pragma once

#include <locale.h>

#include <string>

#include "base/charset_conversion.h"

// The user's locale as the environment names it (LC_ALL, LC_CTYPE, LANG),
// without touching the process's global locale, and conversions between
// character sets.
namespace quernel::posix {

// A locale object for `name` ("" for the user's), or null when the system
// does not have it. Freed with the returned holder.
class LocaleHandle {
 public:
  explicit LocaleHandle(const char* name);
  ~LocaleHandle();
  LocaleHandle(const LocaleHandle&) = delete;
  LocaleHandle& operator=(const LocaleHandle&) = delete;

  bool Valid() const { return locale_ != locale_t{}; }
  locale_t Get() const { return locale_; }
  // The locale's character set: "UTF-8", "GBK", "ANSI_X3.4-1968".
  std::string Charset() const;

 private:
  locale_t locale_{};
};

// The conversion is the base's (iconv), named here for the back-ends.
using quernel::ConvertCharset;

}  // namespace quernel::posix
