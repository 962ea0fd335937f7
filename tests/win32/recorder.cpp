// notepad.exe and explorer.exe in the end-to-end tests: copies the file it is given to "<name>.viewed.txt",
// then writes its command line and start folder to "<name>.command-line.txt" in %QUERNEL_RECORDER_FOLDER%.
#include <string>

#include "platform/win32/win32_api.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {}, folder[MAX_PATH] = {}, current[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetEnvironmentVariableW(L"QUERNEL_RECORDER_FOLDER", folder, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring name = wcsrchr(self, L'\\'), line = GetCommandLineW();  // \notepad.exe
  const std::wstring record = folder + name.substr(0, name.rfind(L'.')), text = line + L'\n' + current;
  if (const auto end = line.rfind(L'"'), start = line.rfind(L'"', end - 1); start != 0 && end != line.npos)
    CopyFileW(line.substr(start + 1, end - start - 1).c_str(), (record + L".viewed.txt").c_str(), FALSE);
  std::string utf8(32768, '\0');
  utf8.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), 32768, nullptr, nullptr) - 1));
  HANDLE file =
      CreateFileW((record + L".part").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
  return int(!ok || !MoveFileExW((record + L".part").c_str(), (record + L".command-line.txt").c_str(),
                                 MOVEFILE_REPLACE_EXISTING));
}
