#include "platform/posix/posix_code_page.h"

#include "platform/posix/locale_charset.h"

namespace quernel::posix {

PosixCodePage::PosixCodePage() : charset_(LocaleHandle("").Charset()) {}

std::unique_ptr<PosixCodePage> PosixCodePage::ForLocale(const char* localeName) {
  const LocaleHandle locale(localeName);
  if (!locale.Valid()) return nullptr;
  return std::unique_ptr<PosixCodePage>(new PosixCodePage(locale.Charset()));
}

// glibc's iconv drops some characters without a word (the tag characters
// U+E0000 to U+E007F on the way to GBK): only bytes that read back as the
// same text are the text.
std::optional<std::string> PosixCodePage::Encode(const Text& text) const {
  auto bytes = ConvertCharset(text, "UTF-8", charset_);
  if (!bytes || ConvertCharset(*bytes, charset_, "UTF-8") != text) return std::nullopt;
  return bytes;
}

}  // namespace quernel::posix
