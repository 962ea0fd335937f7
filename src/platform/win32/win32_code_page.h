#pragma once

#include "platform/code_page.h"

// CodePage on Win32: the OEM code page, in which cmd reads a batch file.
namespace quernel::win32 {

class Win32CodePage final : public CodePage {
 public:
  std::optional<std::string> Encode(const Text& text) const override;
  Text Name() const override;
};

}  // namespace quernel::win32
