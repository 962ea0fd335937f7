#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/window_runtime.h"

// What Quernel starts on Windows, and the one place that builds the command
// lines Windows runs for it: the listing's run through the command
// interpreter, hidden, in a job object; the viewer and the help page with the
// focus. Every program starts in the system folder.
namespace quernel::win32 {

// `"<interpreter>" /u /d /v:off /c ""<batch file>""`.
std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& batchFile);
// `<program>"<file>"`, the program being texts::kViewer or texts::kFileManager
// (`notepad.exe "<file>"`, `explorer.exe "<file>"`).
std::wstring OpenCommandLine(std::string_view program, const std::wstring& file);
// The command interpreter: ComSpec, else cmd.exe in the system folder.
std::wstring Interpreter();

// A listing's run: the interpreter started hidden and suspended, resumed once
// it is in its job object; its error stream a temporary file (deleted when
// closed) that it inherits alone (PROC_THREAD_ATTRIBUTE_HANDLE_LIST).
// Destroying it lets the run go on untracked.
class ListingProcess {
 public:
  // Fails with the system's reason when the interpreter cannot start.
  static Result<std::unique_ptr<ListingProcess>> Start(const ListingRun& run);
  ~ListingProcess();
  ListingProcess(const ListingProcess&) = delete;
  ListingProcess& operator=(const ListingProcess&) = delete;
  HANDLE Handle() const { return process_; }
  // How the ended run ended: its exit code, its error stream read from the
  // start (ErrorStreamText), and the listing turned into UTF-8.
  RunEnd End() const;
  // Ends the interpreter and every program of its job, for the user.
  RunEnd Stop() const;

 private:
  ListingProcess(HANDLE process, HANDLE job, HANDLE errorFile, std::wstring listing)
      : process_(process), job_(job), errorFile_(errorFile), listing_(std::move(listing)) {}
  HANDLE process_;
  HANDLE job_;
  HANDLE errorFile_;
  std::wstring listing_;
};

// Starts the viewer or the file manager (`OpenCommandLine`) with the focus,
// and returns once it has taken its first input (WaitForInputIdle) or 10 s
// have passed; fails with the system's reason when it cannot start.
Result<void> OpenWithFocus(std::string_view program, const Text& file);

// Bytes of a console program's output as text, from the OEM code page.
Text FromOemCodePage(std::string_view bytes);
// What cmd wrote to its error stream: with /u UTF-16LE, which for the
// characters cmd writes always holds a NUL byte; else the OEM code page,
// which never does.
Text ErrorStreamText(std::string_view bytes);

// The folder every program starts in: the system's own, never the folder
// the user started Quernel in.
std::wstring SystemFolder();

using EnvironmentEntries = std::vector<std::pair<std::wstring, std::wstring>>;
// The environment block (NAME=value entries, each ended by a NUL, then one
// more NUL) without the `unset` variables and with the `set` ones, names
// found regardless of case.
std::wstring EnvironmentFor(const wchar_t* block, const std::vector<std::wstring>& unset,
                            const EnvironmentEntries& set);

}  // namespace quernel::win32
