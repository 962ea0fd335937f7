#include "platform/win32/win32_launch.h"

#include <algorithm>
#include <cwctype>

#include "platform/win32/win32_text.h"

namespace quernel::win32 {
namespace {

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

// The program of a command line: the quoted first word, or the text up to
// the first space.
std::wstring_view ProgramOf(std::wstring_view commandLine) {
  if (commandLine.starts_with(L'"')) {
    const auto end = commandLine.find(L'"', 1);
    return commandLine.substr(1, end == std::wstring_view::npos ? std::wstring_view::npos : end - 1);
  }
  return commandLine.substr(0, commandLine.find(L' '));
}

bool IsBatchFile(std::wstring_view program) {
  for (std::wstring_view extension : {L".bat", L".cmd"})
    if (program.size() > extension.size() &&
        EqualIgnoringCase(program.substr(program.size() - extension.size()), extension))
      return true;
  return false;
}

std::wstring Interpreter() {
  std::wstring comSpec(MAX_PATH, L'\0');
  const DWORD length = GetEnvironmentVariableW(L"ComSpec", comSpec.data(), MAX_PATH);
  if (length > 0 && length < MAX_PATH) return comSpec.substr(0, length);
  std::wstring system(MAX_PATH, L'\0');
  system.resize(GetSystemDirectoryW(system.data(), MAX_PATH));
  return system + L"\\cmd.exe";
}

}  // namespace

std::wstring CommandToRun(const std::wstring& commandLine, const std::wstring& interpreter) {
  if (!IsBatchFile(ProgramOf(commandLine))) return commandLine;
  // cmd /c takes away the outer pair of quotes and runs the rest as typed;
  // /d leaves out the AutoRun commands of the registry.
  return L'"' + interpreter + L"\" /d /c \"" + commandLine + L'"';
}

std::wstring EnvironmentWithout(const wchar_t* block, const std::vector<std::wstring>& names) {
  std::wstring kept;
  for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
    const std::wstring_view variable(entry);
    // Entries such as "=C:=C:\work" start with "=": the name is what follows.
    const auto equals = variable.find(L'=', 1);
    const std::wstring_view name = variable.substr(0, equals);
    if (std::any_of(names.begin(), names.end(),
                    [&](const std::wstring& n) { return EqualIgnoringCase(n, name); }))
      continue;
    kept.append(variable);
    kept += L'\0';
  }
  kept += L'\0';
  return kept;
}

Launch StartProgram(const LaunchRequest& request) {
  const std::wstring requested = Wide(request.commandLine);
  std::wstring commandLine = CommandToRun(requested, Interpreter());
  const bool hidden = request.style == WindowStyle::Hidden;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(hidden ? SW_HIDE : SW_SHOWNORMAL);
  DWORD flags = CREATE_UNICODE_ENVIRONMENT;
  if (hidden) flags |= CREATE_NO_WINDOW;

  std::wstring environment;
  if (!request.unsetEnvironment.empty()) {
    std::vector<std::wstring> names;
    for (const Text& name : request.unsetEnvironment) names.push_back(Wide(name));
    wchar_t* block = GetEnvironmentStringsW();
    environment = EnvironmentWithout(block, names);
    FreeEnvironmentStringsW(block);
  }

  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags,
                      environment.empty() ? nullptr : environment.data(), nullptr, &startup, &started))
    return {nullptr, LastErrorMessage()};
  CloseHandle(started.hThread);
  return {std::make_unique<Win32Process>(started.hProcess), {}};
}

}  // namespace quernel::win32
