#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/window_runtime.h"

// Starting programs for WindowRuntime::LaunchProgram: CreateProcessW in the
// system folder, a batch file through the command interpreter, the
// environment without the variables the program must not inherit and with
// those it is given.
namespace quernel::win32 {

// A started program and, when the launch kept it, the temporary file that
// is its error stream (deleted when closed) and the listing it writes in
// Unicode; a hidden one runs in a job object with all it starts.
class Win32Process final : public Process {
 public:
  explicit Win32Process(HANDLE process, HANDLE job = nullptr, HANDLE errorFile = nullptr,
                        std::wstring unicodeListing = {})
      : process_(process), job_(job), errorFile_(errorFile), unicodeListing_(std::move(unicodeListing)) {}
  ~Win32Process() override;
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;
  HANDLE Handle() const { return process_; }
  // How the ended program ended: its exit code, its error stream read from
  // the start (ErrorStreamText), and the Unicode listing turned into UTF-8.
  ProcessEnd End() const;
  // Ends the program and every program of its job, for the user.
  ProcessEnd Stop() const;

 private:
  HANDLE process_;
  HANDLE job_;
  HANDLE errorFile_;
  std::wstring unicodeListing_;
};

// Starts the program. When the request keeps the error output, the program
// gets STARTF_USESTDHANDLES with a temporary file as its standard error and
// inherits that one handle (PROC_THREAD_ATTRIBUTE_HANDLE_LIST), no other. A
// hidden program starts suspended and runs once it is in its job object; one
// started with the focus has taken its first input (WaitForInputIdle, at most
// 10 s) when this returns.
Launch StartProgram(const LaunchRequest& request);

// Bytes of a console program's output as text, from the OEM code page.
Text FromOemCodePage(std::string_view bytes);
// What cmd wrote to its error stream: with /u UTF-16LE, which for the
// characters cmd writes always holds a NUL byte; else the OEM code page,
// which never does.
Text ErrorStreamText(std::string_view bytes);

// The folder every program starts in: the system's own, never the folder
// the user started Quernel in.
std::wstring SystemFolder();

// The command line as CreateProcessW runs it: "…\path.bat" becomes
// `"<ComSpec>" /u /d /v:off /c ""…\path.bat""` (/u when the listing is to
// be Unicode), any other line stays as it is.
std::wstring CommandToRun(const std::wstring& commandLine, const std::wstring& interpreter, bool unicode);

using EnvironmentEntries = std::vector<std::pair<std::wstring, std::wstring>>;
// The environment block (NAME=value entries, each ended by a NUL, then one
// more NUL) without the `unset` variables and with the `set` ones, names
// found regardless of case.
std::wstring EnvironmentFor(const wchar_t* block, const std::vector<std::wstring>& unset,
                            const EnvironmentEntries& set);

}  // namespace quernel::win32
