#include "platform/posix/posix_code_page.h"

#include "platform/posix/locale_charset.h"

namespace quernel::posix {

PosixCodePage::PosixCodePage() : charset_(LocaleHandle("").Charset()) {}

std::unique_ptr<PosixCodePage> PosixCodePage::ForLocale(const char* localeName) {
  const LocaleHandle locale(localeName);
  if (!locale.Valid()) return nullptr;
  return std::unique_ptr<PosixCodePage>(new PosixCodePage(locale.Charset()));
}

std::optional<std::string> PosixCodePage::Encode(const Text& text) const {
  return ConvertCharset(text, "UTF-8", charset_);
}

}  // namespace quernel::posix
