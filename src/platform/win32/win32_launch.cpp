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

// Starts the command line in the system folder (never the user's folder:
// cmd warns of one on the network, and a program named without a folder
// would be looked for there first), with the environment block when one is
// given. The caller closes the handles.
Result<PROCESS_INFORMATION> StartInSystemFolder(std::wstring commandLine, STARTUPINFOEXW& startup,
                                                DWORD flags, std::wstring& environment) {
  const std::wstring startFolder = SystemFolder();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, startup.lpAttributeList ? TRUE : FALSE,
                      flags | CREATE_UNICODE_ENVIRONMENT, environment.empty() ? nullptr : environment.data(),
                      startFolder.c_str(), &startup.StartupInfo, &started))
    return Fail(LastErrorMessage());
  return started;
}

// The process's environment without the run's unset variables and with its own.
std::wstring EnvironmentOf(const ListingRun& run) {
  std::vector<std::wstring> unset;
  for (const Text& name : run.unsetEnvironment) unset.push_back(Wide(name));
  EnvironmentEntries set;
  for (const auto& [name, value] : run.environment) set.emplace_back(Wide(name), Wide(value));
  wchar_t* block = GetEnvironmentStringsW();
  std::wstring environment = EnvironmentFor(block, unset, set);
  FreeEnvironmentStringsW(block);
  return environment;
}

}  // namespace

std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& batchFile) {
  // cmd /c takes away the outer pair of quotes and runs the rest as typed.
  // /u: what dir writes to a file (and cmd to its error stream) is UTF-16LE,
  // not the OEM code page; /d leaves out the AutoRun commands of the
  // registry; /v:off keeps "!" in a name even where the registry turns on
  // delayed expansion.
  return L'"' + interpreter + L"\" /u /d /v:off /c \"\"" + batchFile + L"\"\"";
}

std::wstring OpenCommandLine(std::string_view program, const std::wstring& file) {
  return Wide(program) + L'"' + file + L'"';
}

std::wstring Interpreter() {
  std::wstring comSpec(MAX_PATH, L'\0');
  const DWORD length = GetEnvironmentVariableW(L"ComSpec", comSpec.data(), MAX_PATH);
  if (length > 0 && length < MAX_PATH) return comSpec.substr(0, length);
  return SystemFolder() + L"\\cmd.exe";
}

Result<std::unique_ptr<ListingProcess>> ListingProcess::Start(const ListingRun& run) {
  // Standard input and output are none: cmd's echo of the commands goes
  // nowhere, and nothing waits for a key.
  HANDLE errorFile = NewErrorFile();
  if (errorFile == INVALID_HANDLE_VALUE) return Fail(LastErrorMessage());
  InheritOnly inheritOnly(errorFile);
  if (!inheritOnly.Ok()) {
    const DWORD error = GetLastError();
    CloseHandle(errorFile);
    return Fail(SystemMessage(error));
  }
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = SW_HIDE;
  startup.StartupInfo.hStdError = errorFile;
  startup.lpAttributeList = inheritOnly.List();
  std::wstring environment = EnvironmentOf(run);
  // Suspended until it is in its job, so that nothing it starts escapes it.
  auto started =
      StartInSystemFolder(InterpreterCommandLine(Interpreter(), Wide(run.batchFile)), startup,
                          CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, environment);
  if (!started) {
    CloseHandle(errorFile);
    return Fail(started.error());
  }
  HANDLE job = JobHolding(started->hProcess);
  const bool resumed = ResumeThread(started->hThread) != static_cast<DWORD>(-1);
  const DWORD error = GetLastError();
  CloseHandle(started->hThread);
  if (!resumed) {
    TerminateProcess(started->hProcess, kStoppedExitCode);
    for (HANDLE handle : {started->hProcess, job, errorFile})
      if (handle) CloseHandle(handle);
    return Fail(SystemMessage(error));
  }
  return std::unique_ptr<ListingProcess>(
      new ListingProcess(started->hProcess, job, errorFile, Wide(run.listing)));
}

ListingProcess::~ListingProcess() {
  CloseHandle(process_);
  if (job_) CloseHandle(job_);  // what runs in it runs on
  CloseHandle(errorFile_);
}

RunEnd ListingProcess::Stop() const {
  if (!job_ || !TerminateJobObject(job_, kStoppedExitCode)) TerminateProcess(process_, kStoppedExitCode);
  WaitForSingleObject(process_, kStopPatience);
  RunEnd end;
  end.exitCode = static_cast<int>(kStoppedExitCode);
  end.stopped = true;
  return end;
}

RunEnd ListingProcess::End() const {
  RunEnd end;
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process_, &exitCode)) end.exitCode = static_cast<int>(exitCode);
  end.listingFailure = ListingToUtf8(listing_);
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

Result<void> OpenWithFocus(std::string_view program, const Text& file) {
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup.StartupInfo;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = SW_SHOWNORMAL;
  std::wstring inherited;
  const auto started = StartInSystemFolder(OpenCommandLine(program, Wide(file)), startup, 0, inherited);
  if (!started) return Fail(started.error());
  CloseHandle(started->hThread);
  WaitForInputIdle(started->hProcess, kViewerPatience);
  CloseHandle(started->hProcess);
  return {};
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

}  // namespace quernel::win32
