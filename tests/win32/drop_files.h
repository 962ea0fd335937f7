#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
// After windows.h:
#include <shlobj.h>

// An HDROP's memory as the shell fills it: DROPFILES, each path with its NUL, one more NUL.
namespace quernel::testing {

inline std::vector<char> DropFilesBlock(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) (names += path) += L'\0';
  const DROPFILES header{sizeof header, {}, FALSE, TRUE};
  std::vector<char> block(sizeof header + (names.size() + 1) * sizeof(wchar_t));
  std::memcpy(block.data(), &header, sizeof header);
  std::memcpy(block.data() + sizeof header, names.c_str(), (names.size() + 1) * sizeof(wchar_t));
  return block;
}

}  // namespace quernel::testing
