#include "locale_settings.hpp"

#include <langinfo.h>

#include <clocale>

namespace quernel::cmd {

std::string icu_locale_id(std::string_view posix_locale_name) {
  const std::string_view id = posix_locale_name.substr(0, posix_locale_name.find_first_of(".@"));
  if (id == "C" || id == "POSIX") return {};
  return std::string(id);
}

Language language_of(std::string_view posix_locale_name) {
  return posix_locale_name.starts_with("zh") ? Language::chinese : Language::english;
}

LocaleSettings LocaleSettings::from_current_locale() {
  LocaleSettings settings;
  if (const char* codeset = nl_langinfo(CODESET); codeset != nullptr && *codeset != '\0')
    settings.charset = codeset;
  if (const char* messages = std::setlocale(LC_MESSAGES, nullptr); messages != nullptr)
    settings.language = language_of(messages);
  if (const char* collate = std::setlocale(LC_COLLATE, nullptr); collate != nullptr)
    settings.collation_locale = icu_locale_id(collate);
  return settings;
}

}  // namespace quernel::cmd
