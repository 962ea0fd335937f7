#pragma once

#include <memory>
#include <string_view>

#include "platform/code_page.h"

// CodePage on POSIX: the character set of the user's locale, in which
// quernel-cmd reads the batch file (GBK under zh_CN.GBK, UTF-8 under most
// present-day locales).
namespace quernel::posix {

class PosixCodePage final : public CodePage {
 public:
  // The user's locale, as the environment (LC_ALL, LC_CTYPE, LANG) names it.
  PosixCodePage();
  // A named locale ("zh_CN.GBK"), or null when the system does not have it.
  static std::unique_ptr<PosixCodePage> ForLocale(const char* localeName);

  std::optional<std::string> Encode(const Text& text) const override;
  Text Name() const override { return charset_; }

 private:
  explicit PosixCodePage(std::string charset) : charset_(std::move(charset)) {}
  std::string charset_;
};

}  // namespace quernel::posix
