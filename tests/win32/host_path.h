#pragma once

#include <string>

// A path the build compiled in, as the test program opens it: on Linux,
// where the tests run under Wine, "/a/b" is "Z:\a\b".
namespace quernel::test {

inline std::wstring HostPath(const char* path) {
  std::wstring wide;
  for (const char* c = path; *c; ++c)
    wide += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return path[0] == '/' ? L"Z:" + wide : wide;
}

}  // namespace quernel::test
