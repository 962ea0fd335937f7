#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/charset_conversion.h"

namespace quernel::cmd {

// Converts between the locale's character set (file names, batch files,
// output) and the UTF-8 used inside the program. Bytes that cannot be
// decoded, and characters the locale's set cannot hold, become '?': a name
// is written as well as the set allows rather than failing the listing.
class Charset {
 public:
  explicit Charset(std::string name);

  const std::string& Name() const { return name_; }
  bool IsUtf8() const { return decoder_ == nullptr; }

  void ToUtf8(std::string_view native, std::string& utf8);
  std::string ToUtf8(std::string_view native);
  void FromUtf8(std::string_view utf8, std::string& native);
  std::string FromUtf8(std::string_view utf8);

 private:
  std::string name_;
  std::unique_ptr<CharsetConverter> decoder_, encoder_;  // none for UTF-8
};

}  // namespace quernel::cmd
