// convert_listing.exe FOLDER [LINES...]: times ListingToUtf8 on synthetic
// listings such as `cmd /u` writes (UTF-16LE, no mark), of 100,000 and
// 1,000,000 lines of mixed names by default, written into FOLDER. For each
// size, best of 3: one line with the bytes in and out, the seconds, MB/s of
// input (10^6 bytes) and the process's peak working set just before the
// first conversion and after the last, which stays put if the conversion's
// memory does not grow with the listing.
#include <windows.h>
// After windows.h:
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/win32_listing.h"

namespace {

// Names as `dir /s /b` lists them: Chinese, Korean, Vietnamese, ASCII and
// an emoji (a surrogate pair), about 30 UTF-16 units a line.
const wchar_t* const kNames[] = {
    L"C:\\资料\\音乐\\歌曲 %06u.mp3",      L"C:\\자료\\한국어 문서 %06u.docx",
    L"C:\\Tài liệu\\Tiếng Việt %06u.txt",  L"C:\\work\\report-%06u-final.pdf",
    L"C:\\照片\\\U0001F4F7 旅行 %06u.jpg",
};

// Writes the listing a megabyte at a time, so that making it does not raise
// the peak either.
bool WriteListing(const std::wstring& path, unsigned lines, unsigned long long& bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::wstring chunk;
  wchar_t line[128];
  bool ok = true;
  bytes = 0;
  for (unsigned i = 0; i < lines && ok; ++i) {
    const int length = swprintf(line, 128, kNames[i % (sizeof kNames / sizeof *kNames)], i);
    chunk.append(line, static_cast<std::size_t>(length)).append(L"\r\n");
    if (chunk.size() >= 512 * 1024 || i + 1 == lines) {
      const auto size = static_cast<DWORD>(chunk.size() * sizeof(wchar_t));
      DWORD written = 0;
      ok = WriteFile(file, chunk.data(), size, &written, nullptr) && written == size;
      bytes += size;
      chunk.clear();
    }
  }
  return CloseHandle(file) && ok;
}

double PeakWorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs("usage: convert_listing.exe FOLDER [LINES...]\n", stderr);
    return 2;
  }
  std::wstring folder = argv[1];
  if (folder.back() != L'\\') folder += L'\\';
  std::vector<unsigned> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(static_cast<unsigned>(std::wcstoul(argv[i], nullptr, 10)));
  if (sizes.empty()) sizes = {100000, 1000000};

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  int status = 0;
  for (unsigned lines : sizes) {
    const std::wstring path = folder + L"path-" + std::to_wstring(lines) + L".txt";
    unsigned long long in = 0, out = 0;
    double best = 0, peakBefore = 0;
    for (int run = 0; run < 3; ++run) {
      if (!WriteListing(path, lines, in)) {
        std::fprintf(stderr, "convert_listing: cannot write %ls\n", path.c_str());
        return 1;
      }
      if (run == 0) peakBefore = PeakWorkingSetMiB();
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      const quernel::Text failure = quernel::win32::ListingToUtf8(path);
      QueryPerformanceCounter(&end);
      if (!failure.empty()) {
        std::fprintf(stderr, "convert_listing: %s\n", failure.c_str());
        status = 1;
      }
      const double seconds =
          static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
      if (run == 0 || seconds < best) best = seconds;
      out = FileSize(path);
    }
    DeleteFileW(path.c_str());
    std::printf(
        "%9u lines %11llu bytes in %11llu bytes out %8.3f s %8.1f MB/s   peak working set %6.1f MiB before, "
        "%6.1f MiB after\n",
        lines, in, out, best, static_cast<double>(in) / best / 1e6, peakBefore, PeakWorkingSetMiB());
    std::fflush(stdout);
  }
  return status;
}
