// cmd.exe in the end-to-end tests (through ComSpec): answers `cmd /u … /c ""…\path.bat""` as real
// zh-CN Windows cmd does, by %QUERNEL_SCRIPT%: its words on the error stream in UTF-16LE (/u), the
// listing "…\Path.txt" beside the batch file made empty by the redirection, and the ERRORLEVEL
// that dir leaves for the bare `exit`. See docs/windows.md for the sources of the words. "hang" never
// ends: it starts itself again ("held"), which keeps the event kRunningEvent until it is ended too.
#include <string>

#include "platform/win32/win32_api.h"

namespace {

struct Script {
  const wchar_t* name;
  const wchar_t* words;
};
constexpr Script kScripts[] = {
    {L"no-match", L"找不到文件\r\n"},
    {L"missing-folder", L"系统找不到指定的文件。\r\n"},
    {L"access-denied", L"拒绝访问。\r\n"},
};
constexpr const wchar_t* kRunningEvent = L"quernel-scripted-cmd-running";
// Written when cmd starts in a folder on the network; here in any folder but the system's.
constexpr const wchar_t* kUncWarning =
    L"'\r\n用作为当前目录的以上路径启动了 CMD.EXE。\r\nUNC 路径不受支持。默认值设为 Windows 目录。\r\n";

void WriteError(const std::wstring& words) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), words.data(), DWORD(words.size() * sizeof(wchar_t)), &written,
            nullptr);
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH));
}
std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  return std::wstring(folder, GetCurrentDirectoryW(MAX_PATH, folder));
}

// The real interpreter runs the rest of the command line, with our handles.
int RunRealCmd(const std::wstring& arguments) {
  std::wstring line = L'"' + SystemFolder() + L"\\cmd.exe\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION run{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &run))
    return 9009;
  DWORD code = 1;
  WaitForSingleObject(run.hProcess, INFINITE), GetExitCodeProcess(run.hProcess, &code);
  CloseHandle(run.hProcess), CloseHandle(run.hThread);
  return int(code);
}

}  // namespace

int wmain() {
  wchar_t script[32] = {};
  GetEnvironmentVariableW(L"QUERNEL_SCRIPT", script, 32);
  const std::wstring line = GetCommandLineW();
  const std::wstring arguments = line.substr(line.find(L' ', line.find(L'"', 1)) + 1);
  if (std::wstring(script) == L"unc-warning") {
    const std::wstring folder = CurrentFolder();
    if (CompareStringOrdinal(folder.c_str(), -1, SystemFolder().c_str(), -1, TRUE) != CSTR_EQUAL) {
      std::wstring warning(1024, L'\0');
      warning.resize(unsigned(swprintf(warning.data(), warning.size(), kUncWarning, folder.c_str())));
      WriteError(warning);
    }
    return RunRealCmd(arguments);
  }
  std::wstring batch = arguments.substr(arguments.find(L"/c ") + 3);
  std::erase(batch, L'"');
  const std::wstring listing = batch.substr(0, batch.rfind(L'\\')) + L"\\Path.txt";
  CloseHandle(CreateFileW(listing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (std::wstring(script) == L"held") CreateEventW(nullptr, TRUE, FALSE, kRunningEvent), Sleep(INFINITE);
  if (std::wstring(script) == L"hang") {
    SetEnvironmentVariableW(L"QUERNEL_SCRIPT", L"held");
    std::wstring again = line;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION held{};
    CreateProcessW(nullptr, again.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                   &startup, &held);
    Sleep(INFINITE);
  }
  for (const Script& known : kScripts)
    if (std::wstring(script) == known.name) return WriteError(known.words), 1;
  return 2;
}
