#include "quernel-cmd/locale_settings.h"

#include <langinfo.h>

#include <clocale>

namespace quernel::cmd {

std::string IcuLocaleId(std::string_view posix_locale_name) {
  const std::string_view id = posix_locale_name.substr(0, posix_locale_name.find_first_of(".@"));
  if (id == "C" || id == "POSIX") return {};
  return std::string(id);
}

Language LanguageOf(std::string_view posix_locale_name) {
  return posix_locale_name.starts_with("zh") ? Language::Chinese : Language::English;
}

LocaleSettings LocaleSettings::FromCurrentLocale() {
  LocaleSettings settings;
  if (const char* codeset = nl_langinfo(CODESET); codeset != nullptr && *codeset != '\0')
    settings.charset = codeset;
  if (const char* messages = std::setlocale(LC_MESSAGES, nullptr); messages != nullptr)
    settings.language = LanguageOf(messages);
  if (const char* collate = std::setlocale(LC_COLLATE, nullptr); collate != nullptr)
    settings.collation_locale = IcuLocaleId(collate);
  return settings;
}

}  // namespace quernel::cmd
