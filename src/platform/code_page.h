#pragma once

#include <optional>
#include <string>

#include "design/text.h"

// Conversion of text into the code page in which the command interpreter
// reads batch files (on Windows the OEM code page, 936 on Simplified Chinese
// systems; on Linux the locale's character set).
namespace quernel {

class CodePage {
 public:
  virtual ~CodePage() = default;

  // The bytes of `text` in the code page, or nullopt when a character has no
  // place in it (a conversion would turn it into "?", a wildcard).
  virtual std::optional<std::string> Encode(const Text& text) const = 0;
  // The code page's name for messages: "936", "UTF-8".
  virtual Text Name() const = 0;
};

}  // namespace quernel
