#include "platform/win32/win32_listing.h"

#include <atomic>
#include <cstring>
#include <memory>

#include "design/program_texts.h"
#include "platform/win32/win32_text.h"

namespace quernel::win32 {
namespace {

// UTF-16 code units read at a time (64 KiB). UTF-8 takes at most three bytes
// for one unit (four for a surrogate pair, which is two units), so one read
// always fits the output buffer, with the byte-order mark before the first.
constexpr DWORD kUnits = 32 * 1024;
constexpr DWORD kReadBytes = kUnits * 2;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr DWORD kByteOrderMarkSize = sizeof kByteOrderMark - 1;
constexpr DWORD kOutBytes = kByteOrderMarkSize + kUnits * 3;

// A handle closed when it goes; false when the open failed.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  operator HANDLE() const { return handle_; }
  // False with the system's error when closing failed (a write it had
  // delayed did not reach the disk).
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
  }

 private:
  HANDLE handle_;
};

bool IsHighSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// A name beside the listing that no other file has: the process, the time
// and a counter.
std::wstring TemporaryPathFor(const std::wstring& listingPath) {
  static std::atomic<unsigned> counter{0};
  return listingPath + L".~" + std::to_wstring(GetCurrentProcessId()) + L'-' +
         std::to_wstring(GetTickCount64()) + L'-' + std::to_wstring(counter++) + L".tmp";
}

// Created exclusively, so never a file that was there (nor a link planted
// under the name); another name is tried if one was.
HANDLE NewTemporaryFile(const std::wstring& listingPath, std::wstring& path) {
  for (int tries = 0; tries < 16; ++tries) {
    path = TemporaryPathFor(listingPath);
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

Text WriteAll(HANDLE to, const char* bytes, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(to, bytes, size, &written, nullptr)) return LastErrorMessage();
    if (written == 0) return SystemMessage(ERROR_WRITE_FAULT);
    bytes += written, size -= written;
  }
  return {};
}

// Reads UTF-16LE from `from` to its end and writes it to `to` as UTF-8 after
// the byte-order mark, through two fixed buffers. A read may end inside a
// unit (an odd byte) or between the two halves of a surrogate pair: what
// belongs to the next unit or character is held back and goes before the
// next read. At the end of the file nothing may be held back.
Text Convert(HANDLE from, HANDLE to) {
  // + 2 units: a held-back high surrogate and odd byte (3 bytes at most).
  const std::unique_ptr<wchar_t[]> in(new wchar_t[kUnits + 2]);
  const std::unique_ptr<char[]> out(new char[kOutBytes]);
  char* const inBytes = reinterpret_cast<char*>(in.get());
  std::memcpy(out.get(), kByteOrderMark, kByteOrderMarkSize);
  DWORD pending = kByteOrderMarkSize;  // bytes of `out` not yet written
  DWORD held = 0;                      // bytes at the start of `in` from the read before
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(from, inBytes + held, kReadBytes, &read, nullptr)) return LastErrorMessage();
    if (read == 0) break;
    const DWORD bytes = held + read;
    DWORD units = bytes / 2;
    if (units > 0 && IsHighSurrogate(in[units - 1])) --units;  // its low half comes with the next read
    if (units > 0) {
      // Unpaired surrogates (a high one not followed by a low one, a low one
      // alone) are not valid UTF-16 and have no UTF-8: with no flags,
      // WideCharToMultiByte writes U+FFFD for each, as Windows and Wine both
      // do, and that is accepted. Only the end of the file tells a cut.
      const int size = WideCharToMultiByte(CP_UTF8, 0, in.get(), static_cast<int>(units), out.get() + pending,
                                           static_cast<int>(kOutBytes - pending), nullptr, nullptr);
      if (size <= 0) return LastErrorMessage();
      if (Text failure = WriteAll(to, out.get(), pending + static_cast<DWORD>(size)); !failure.empty())
        return failure;
      pending = 0;
    }
    held = bytes - units * 2;
    std::memmove(inBytes, inBytes + units * 2, held);
  }
  if (held % 2 != 0) return Text(texts::kListingCutShort);  // an odd byte: half a unit
  if (held >= 2) return Text(texts::kListingCutShort);      // a high surrogate without its low half
  return WriteAll(to, out.get(), pending);                  // an empty listing: the mark alone
}

}  // namespace

Text ListingToUtf8(const std::wstring& listingPath) {
  // The listing itself, never what a link or junction of that name points
  // to; backup semantics open a folder too, which is then refused as not a
  // file. Nobody writes or removes it while it is read.
  Handle listing(CreateFileW(
      listingPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!listing) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return SystemMessage(error);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(listing) != FILE_TYPE_DISK || !GetFileInformationByHandle(listing, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    return Text(texts::kListingNotRegular);

  std::wstring temporaryPath;
  Handle converted(NewTemporaryFile(listingPath, temporaryPath));
  if (!converted) return LastErrorMessage();
  Text failure = Convert(listing, converted);
  listing.Close();
  if (!converted.Close() && failure.empty()) failure = LastErrorMessage();
  // The converted file takes the listing's place in one step, or not at all.
  if (failure.empty() && !MoveFileExW(temporaryPath.c_str(), listingPath.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    failure = LastErrorMessage();
  if (!failure.empty()) DeleteFileW(temporaryPath.c_str());
  return failure;
}

}  // namespace quernel::win32
