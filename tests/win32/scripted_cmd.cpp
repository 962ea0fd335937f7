// cmd.exe in the end-to-end tests (through ComSpec): answers as real zh-CN cmd does, by
// %QUERNEL_SCRIPT% (words: docs/windows.md). "hang" never ends, nor what it starts ("held", which
// holds the event); "unc-warning" warns as cmd started in a network folder, then runs the real one.
#include <string>

#include "platform/win32/win32_api.h"

int wmain() {
  wchar_t script[32] = {}, system[MAX_PATH] = {}, current[MAX_PATH] = {};
  GetEnvironmentVariableW(L"QUERNEL_SCRIPT", script, 32);
  GetSystemDirectoryW(system, MAX_PATH), GetCurrentDirectoryW(MAX_PATH, current);
  std::wstring line = GetCommandLineW(), name = script, words;
  const std::wstring arguments = line.substr(line.find(L' ', line.find(L'"', 1)) + 1);
  if (name == L"unc-warning" && CompareStringOrdinal(current, -1, system, -1, TRUE) != CSTR_EQUAL)
    words =
        L"'" + std::wstring(current) +
        L"'\r\n用作为当前目录的以上路径启动了 CMD.EXE。\r\nUNC 路径不受支持。默认值设为 Windows 目录。\r\n";
  if (name == L"access-denied") words = L"拒绝访问。\r\n";
  DWORD written = 0, code = 9009;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), words.data(), DWORD(words.size() * sizeof(wchar_t)), &written,
            nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION run{};
  if (name == L"unc-warning") {  // the real interpreter runs the rest of the command line
    std::wstring real = L'"' + std::wstring(system) + L"\\cmd.exe\" " + arguments;
    startup.dwFlags = STARTF_USESTDHANDLES, startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    if (CreateProcessW(nullptr, real.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &run))
      WaitForSingleObject(run.hProcess, INFINITE), GetExitCodeProcess(run.hProcess, &code);
    return int(code);
  }
  std::wstring batch = arguments.substr(arguments.find(L"/c ") + 3);
  std::erase(batch, L'"');
  CloseHandle(CreateFileW((batch.substr(0, batch.rfind(L'\\')) + L"\\Path.txt").c_str(), GENERIC_WRITE, 0,
                          nullptr, CREATE_ALWAYS, 0, nullptr));
  if (name == L"held") CreateEventW(nullptr, TRUE, FALSE, L"quernel-scripted-cmd-running"), Sleep(INFINITE);
  if (name == L"hang") {
    SetEnvironmentVariableW(L"QUERNEL_SCRIPT", L"held");
    CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                   &startup, &run);
    Sleep(INFINITE);
  }
  return words.empty() ? 2 : 1;
}
