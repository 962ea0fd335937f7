#include "platform/win32/win32_listing.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_text.h"

namespace quernel::win32 {
namespace {

bool ReadWhole(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) != FALSE;
  bytes.resize(ok ? static_cast<std::size_t>(size.QuadPart) : 0);
  DWORD read = 0;
  ok = ok && ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
       read == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace

// A simple whole-file conversion until the streaming one arrives.
Text ListingToUtf8(const std::wstring& listingPath) {
  std::string bytes;
  if (GetFileAttributesW(listingPath.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  if (!ReadWhole(listingPath, bytes)) return LastErrorMessage();
  if (bytes.size() % 2 != 0) return "the listing ends in half a character";
  std::wstring wide(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  if (wide.starts_with(L'\xFEFF')) wide.erase(0, 1);
  const std::string utf8 = "\xEF\xBB\xBF" + Utf8(wide);
  const std::wstring part = listingPath + L".part";
  HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastErrorMessage();
  DWORD written = 0;
  const bool ok = WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
                  written == utf8.size();
  CloseHandle(file);
  if (ok && MoveFileExW(part.c_str(), listingPath.c_str(), MOVEFILE_REPLACE_EXISTING)) return {};
  Text failure = LastErrorMessage();
  DeleteFileW(part.c_str());
  return failure;
}

}  // namespace quernel::win32
