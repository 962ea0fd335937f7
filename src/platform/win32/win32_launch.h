#pragma once

#include "platform/win32/win32_api.h"
#include "platform/window_runtime.h"

// Starting programs for WindowRuntime::LaunchProgram: CreateProcessW, a batch
// file through the command interpreter, the environment without the
// variables the program must not inherit.
namespace quernel::win32 {

class Win32Process final : public Process {
 public:
  explicit Win32Process(HANDLE process) : process_(process) {}
  ~Win32Process() override { CloseHandle(process_); }
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;
  HANDLE Handle() const { return process_; }

 private:
  HANDLE process_;
};

Launch StartProgram(const LaunchRequest& request);

// The command line as CreateProcessW runs it: "…\path.bat" becomes
// `"<ComSpec>" /d /c ""…\path.bat""`, any other line stays as it is.
std::wstring CommandToRun(const std::wstring& commandLine, const std::wstring& interpreter);

// The environment block (NAME=value entries, each ended by a NUL, then one
// more NUL) without the named variables, found regardless of case.
std::wstring EnvironmentWithout(const wchar_t* block, const std::vector<std::wstring>& names);

}  // namespace quernel::win32
