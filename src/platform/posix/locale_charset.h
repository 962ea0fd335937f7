#pragma once

#include <locale.h>

#include <optional>
#include <string>
#include <string_view>

// The user's locale as the environment names it (LC_ALL, LC_CTYPE, LANG),
// without touching the process's global locale, and conversions between
// character sets with iconv.
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

// `bytes` converted from one character set to another, or nullopt when a
// character has no place in the target set or the input is malformed.
std::optional<std::string> ConvertCharset(std::string_view bytes, const std::string& from,
                                          const std::string& to);

}  // namespace quernel::posix
