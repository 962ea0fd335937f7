// A stand-in for notepad.exe and explorer.exe in the end-to-end tests: it
// writes the command line it was started with (UTF-8) to
// "<its name>.command-line.txt" in %QUERNEL_RECORDER_FOLDER%, or beside
// itself, and ends. Quernel finds it first because CreateProcess looks in
// the starting program's folder before the system folders.
#include <string>

#include "platform/win32/win32_api.h"

namespace {

std::wstring RecordPath() {
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
  const std::size_t slash = self.rfind(L'\\');
  std::wstring name = self.substr(slash + 1);
  name = name.substr(0, name.rfind(L'.'));
  std::wstring folder(MAX_PATH, L'\0');
  const DWORD length = GetEnvironmentVariableW(L"QUERNEL_RECORDER_FOLDER", folder.data(), MAX_PATH);
  folder = length > 0 && length < MAX_PATH ? folder.substr(0, length) : self.substr(0, slash);
  return folder + L'\\' + name + L".command-line.txt";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* commandLine = GetCommandLineW();
  const int size = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();  // the NUL
  HANDLE file = CreateFileW(RecordPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
