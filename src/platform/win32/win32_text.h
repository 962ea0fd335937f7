#pragma once

#include <string>
#include <string_view>

#include "design/text.h"
#include "platform/win32/win32_api.h"

// The back-end's edge: the program's UTF-8 texts to and from the UTF-16 of
// the Win32 API, and the system's wording of an error code.
namespace quernel::win32 {

std::wstring Wide(std::string_view utf8);
Text Utf8(std::wstring_view utf16);
std::wstring WindowText(HWND window);

// The system's message for a Win32 error code, in the system's language,
// without the line break that ends it.
Text SystemMessage(DWORD error);
inline Text LastErrorMessage() {
  return SystemMessage(GetLastError());
}

}  // namespace quernel::win32
