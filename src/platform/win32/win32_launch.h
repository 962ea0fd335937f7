#pragma once

#include "platform/win32/win32_api.h"
#include "platform/window_runtime.h"

// Starting programs for WindowRuntime::LaunchProgram: CreateProcessW, a batch
// file through the command interpreter, the environment without the
// variables the program must not inherit.
namespace quernel::win32 {

// A started program and, when the launch kept it, the temporary file that
// is its error stream (deleted when closed).
class Win32Process final : public Process {
 public:
  explicit Win32Process(HANDLE process, HANDLE errorFile = nullptr)
      : process_(process), errorFile_(errorFile) {}
  ~Win32Process() override;
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;
  HANDLE Handle() const { return process_; }
  // How the ended program ended: its exit code, and its error stream read
  // from the start and decoded in the OEM code page, as console programs
  // write.
  ProcessEnd End() const;

 private:
  HANDLE process_;
  HANDLE errorFile_;
};

// Starts the program. When the request keeps the error output, the program
// gets STARTF_USESTDHANDLES with a temporary file as its standard error and
// inherits that one handle (PROC_THREAD_ATTRIBUTE_HANDLE_LIST), no other.
Launch StartProgram(const LaunchRequest& request);

// Bytes of a console program's output as text, from the OEM code page.
Text FromOemCodePage(std::string_view bytes);

// The command line as CreateProcessW runs it: "…\path.bat" becomes
// `"<ComSpec>" /d /c ""…\path.bat""`, any other line stays as it is.
std::wstring CommandToRun(const std::wstring& commandLine, const std::wstring& interpreter);

// The environment block (NAME=value entries, each ended by a NUL, then one
// more NUL) without the named variables, found regardless of case.
std::wstring EnvironmentWithout(const wchar_t* block, const std::vector<std::wstring>& names);

}  // namespace quernel::win32
