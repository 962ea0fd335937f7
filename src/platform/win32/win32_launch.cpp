#include "platform/win32/win32_launch.h"

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <vector>

#include "platform/win32/win32_listing.h"
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
  return SystemFolder() + L"\\cmd.exe";
}

bool NamedIn(std::wstring_view name, const std::vector<std::wstring>& unset, const EnvironmentEntries& set) {
  auto same = [&](const std::wstring& other) { return EqualIgnoringCase(other, name); };
  return std::any_of(unset.begin(), unset.end(), same) ||
         std::any_of(set.begin(), set.end(), [&](const auto& entry) { return same(entry.first); });
}

// Reading more than this of an error stream says nothing more to the user.
constexpr DWORD kErrorOutputLimit = 64 * 1024;

// A new temporary file for a child's error stream: inheritable, readable by
// us from the start afterwards, gone when the last handle closes.
HANDLE NewErrorFile() {
  static std::atomic<unsigned> counter{0};
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return INVALID_HANDLE_VALUE;
  const std::wstring path = std::wstring(folder) + L"~quernel-errors-" +
                            std::to_wstring(GetCurrentProcessId()) + L'-' +
                            std::to_wstring(GetTickCount64()) + L'-' + std::to_wstring(counter++) + L".tmp";
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable, CREATE_NEW,
                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// An attribute list that lets a child inherit `handle` and no other handle.
class InheritOnly {
 public:
  explicit InheritOnly(HANDLE handle) : handle_(handle) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    if (!InitializeProcThreadAttributeList(List(), 1, 0, &size)) return;
    initialized_ = true;
    ok_ = UpdateProcThreadAttribute(List(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_, sizeof handle_,
                                    nullptr, nullptr) != FALSE;
  }
  ~InheritOnly() {
    if (initialized_) DeleteProcThreadAttributeList(List());
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;
  bool Ok() const { return ok_; }
  LPPROC_THREAD_ATTRIBUTE_LIST List() {
    return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
  }

 private:
  HANDLE handle_;  // the attribute list points here
  std::vector<char> buffer_;
  bool initialized_ = false;
  bool ok_ = false;
};

// How long a viewer may take to open its file before Quernel goes on.
constexpr DWORD kViewerPatience = 10000;
// How long the ended run may take to go, and its exit code.
constexpr DWORD kStopPatience = 5000;
constexpr UINT kStoppedExitCode = 1;

// A job object for a run, and the run in it, or null when the job cannot be
// made or the run not put in it (then only the run itself can be stopped).
HANDLE JobHolding(HANDLE process) {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job && !AssignProcessToJobObject(job, process)) {
    CloseHandle(job);
    job = nullptr;
  }
  return job;
}

}  // namespace

Win32Process::~Win32Process() {
  CloseHandle(process_);
  if (job_) CloseHandle(job_);  // what runs in it runs on
  if (errorFile_) CloseHandle(errorFile_);
}

ProcessEnd Win32Process::Stop() const {
  if (!job_ || !TerminateJobObject(job_, kStoppedExitCode)) TerminateProcess(process_, kStoppedExitCode);
  WaitForSingleObject(process_, kStopPatience);
  ProcessEnd end;
  end.exitCode = static_cast<int>(kStoppedExitCode);
  end.stopped = true;
  return end;
}

ProcessEnd Win32Process::End() const {
  ProcessEnd end;
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process_, &exitCode)) end.exitCode = static_cast<int>(exitCode);
  if (!unicodeListing_.empty()) end.listingFailure = ListingToUtf8(unicodeListing_);
  if (!errorFile_) return end;
  // The child's handle shared our file position: read from the start.
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(errorFile_, start, nullptr, FILE_BEGIN)) return end;
  std::string bytes(kErrorOutputLimit, '\0');
  DWORD read = 0;
  if (!ReadFile(errorFile_, bytes.data(), kErrorOutputLimit, &read, nullptr)) read = 0;
  bytes.resize(read);
  end.errorOutput = ErrorStreamText(bytes);
  return end;
}

Text FromOemCodePage(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const UINT codePage = GetOEMCP();
  std::wstring wide(
      static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
  return Utf8(wide);
}

Text ErrorStreamText(std::string_view bytes) {
  if (bytes.find('\0') == std::string_view::npos) return FromOemCodePage(bytes);
  std::wstring wide(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return Utf8(wide);
}

std::wstring SystemFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  folder.resize(GetSystemDirectoryW(folder.data(), MAX_PATH));
  return folder;
}

std::wstring CommandToRun(const std::wstring& commandLine, const std::wstring& interpreter, bool unicode) {
  if (!IsBatchFile(ProgramOf(commandLine))) return commandLine;
  // cmd /c takes away the outer pair of quotes and runs the rest as typed.
  // /u: what dir writes to a file (and cmd to its error stream) is UTF-16LE,
  // not the OEM code page; /d leaves out the AutoRun commands of the
  // registry; /v:off keeps "!" in a name even where the registry turns on
  // delayed expansion.
  return L'"' + interpreter + L'"' + (unicode ? L" /u" : L"") + L" /d /v:off /c \"" + commandLine + L'"';
}

std::wstring EnvironmentFor(const wchar_t* block, const std::vector<std::wstring>& unset,
                            const EnvironmentEntries& set) {
  std::wstring kept;
  for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
    const std::wstring_view variable(entry);
    // Entries such as "=C:=C:\work" start with "=": the name is what follows.
    if (NamedIn(variable.substr(0, variable.find(L'=', 1)), unset, set)) continue;
    kept.append(variable);
    kept += L'\0';
  }
  for (const auto& [name, value] : set) kept += name + L'=' + value + L'\0';
  kept += L'\0';
  return kept;
}

Launch StartProgram(const LaunchRequest& request) {
  const std::wstring requested = Wide(request.commandLine);
  const bool unicode = !request.unicodeListing.empty();
  std::wstring commandLine = CommandToRun(requested, Interpreter(), unicode);
  const bool hidden = request.style == WindowStyle::Hidden;

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup.StartupInfo;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = static_cast<WORD>(hidden ? SW_HIDE : SW_SHOWNORMAL);
  DWORD flags = CREATE_UNICODE_ENVIRONMENT;
  if (hidden) flags |= CREATE_NO_WINDOW | CREATE_SUSPENDED;  // resumed in its job

  // Standard input and output are none: cmd's echo of the commands goes
  // nowhere, and nothing waits for a key.
  HANDLE errorFile = nullptr;
  std::unique_ptr<InheritOnly> inheritOnly;
  if (request.keepErrorOutput) {
    errorFile = NewErrorFile();
    if (errorFile == INVALID_HANDLE_VALUE) return {nullptr, LastErrorMessage()};
    inheritOnly = std::make_unique<InheritOnly>(errorFile);
    if (!inheritOnly->Ok()) {
      const DWORD error = GetLastError();
      CloseHandle(errorFile);
      return {nullptr, SystemMessage(error)};
    }
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdError = errorFile;
    startup.lpAttributeList = inheritOnly->List();
    flags |= EXTENDED_STARTUPINFO_PRESENT;
  }

  std::wstring environment;
  if (!request.unsetEnvironment.empty() || !request.setEnvironment.empty()) {
    std::vector<std::wstring> unset;
    for (const Text& name : request.unsetEnvironment) unset.push_back(Wide(name));
    EnvironmentEntries set;
    for (const auto& [name, value] : request.setEnvironment) set.emplace_back(Wide(name), Wide(value));
    wchar_t* block = GetEnvironmentStringsW();
    environment = EnvironmentFor(block, unset, set);
    FreeEnvironmentStringsW(block);
  }

  // Never the user's folder: cmd warns of one on the network, and a program
  // named without a folder would be looked for there first.
  const std::wstring startFolder = SystemFolder();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, errorFile ? TRUE : FALSE, flags,
                      environment.empty() ? nullptr : environment.data(), startFolder.c_str(),
                      &startup.StartupInfo, &started)) {
    const DWORD error = GetLastError();
    if (errorFile) CloseHandle(errorFile);
    return {nullptr, SystemMessage(error)};
  }
  HANDLE job = hidden ? JobHolding(started.hProcess) : nullptr;
  if (hidden) ResumeThread(started.hThread);
  CloseHandle(started.hThread);
  if (request.style == WindowStyle::NormalWithFocus) WaitForInputIdle(started.hProcess, kViewerPatience);
  return {std::make_unique<Win32Process>(started.hProcess, job, errorFile,
                                         unicode ? Wide(request.unicodeListing) : std::wstring()),
          {}};
}

}  // namespace quernel::win32
