#include "platform/win32/win32_code_page.h"

#include "platform/win32/win32_text.h"

namespace quernel::win32 {

std::optional<std::string> Win32CodePage::Encode(const Text& text) const {
  const UINT codePage = GetOEMCP();
  if (codePage == CP_UTF8 || text.empty()) return text;
  const std::wstring wide = Wide(text);
  const int size = static_cast<int>(wide.size());
  // No best fit: a character without a place must not become a look-alike
  // or "?", a wildcard that would list other files.
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                         nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length, nullptr,
                      &usedDefault);
  if (usedDefault) return std::nullopt;
  return bytes;
}

Text Win32CodePage::Name() const {
  return std::to_string(GetOEMCP());
}

}  // namespace quernel::win32
