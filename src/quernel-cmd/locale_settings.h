#pragma once

#include <string>
#include <string_view>

namespace quernel::cmd {

enum class Language { English, Chinese };

// What the user's locale decides: the character set of files and output,
// the language of messages and listings, and the order of names.
struct LocaleSettings {
  std::string charset = "UTF-8";
  Language language = Language::English;
  std::string collation_locale;  // ICU locale id; empty for the root order

  // Reads the locale set by setlocale(LC_ALL, "").
  static LocaleSettings FromCurrentLocale();
};

// "zh_CN.UTF-8@pinyin" -> "zh_CN"; "C" and "POSIX" -> "" (root).
std::string IcuLocaleId(std::string_view posix_locale_name);

Language LanguageOf(std::string_view posix_locale_name);

}  // namespace quernel::cmd
