#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/result.h"
#include "design/form_design.h"
#include "design/text.h"

// The window runtime: the window frmMain and its controls, their events, the
// application's folders, the mouse pointer, the message box and the launcher.
namespace quernel {

// What the window raises into the program.
//
// The event rule: Click is raised by the user (a click, a pick from a list,
// an access key, Enter on the default button, Esc on the cancel button, the
// space bar...) and also by the program's own SetValue on a check box or
// option button and SetListIndex on a list when the write changes the state.
// Click runs to its end before that write returns. AddItem, SetText and
// SetEnabled raise nothing.
//
// Items dragged over the window and dropped anywhere on it come as their
// paths: CanDrop says whether the pointer shows the drop as welcome, Drop
// takes them.
class FormEvents {
 public:
  virtual void Click(ControlId control) = 0;
  virtual bool CanDrop(const std::vector<Text>& /*paths*/) { return false; }
  virtual void Drop(const std::vector<Text>& /*paths*/) {}

 protected:
  ~FormEvents() = default;
};

enum class MousePointer { Default = 0, Hourglass = 11 };
enum class MessageStyle { Error = 16, Information = 64 };
enum class WindowStyle { Hidden = 0, NormalWithFocus = 1 };

struct LaunchRequest {
  Text commandLine;  // program and arguments, paths in double quotes
  WindowStyle style = WindowStyle::NormalWithFocus;
  std::vector<Text> unsetEnvironment;  // variables the program must not inherit
  // Variables the program gets, NAME and value, over any inherited ones.
  std::vector<std::pair<Text, Text>> setEnvironment = {};
  // Keep what the program writes to its error stream, for the end of the
  // wait. It inherits that stream and nothing else.
  bool keepErrorOutput = false;
  // The listing that the batch file redirects its output to, when it must
  // keep every name: the interpreter writes it in Unicode, and when the run
  // has ended the file holds the listing as the platform's Unicode text
  // (UTF-8; on Windows with a byte-order mark, so that no viewer guesses).
  Text unicodeListing = {};
};

// How a program that was waited for ended.
struct ProcessEnd {
  int exitCode = 0;
  // Its error stream as text (decoded from the code page the program writes
  // in), when the launch kept it.
  Text errorOutput = {};
  // Why the Unicode listing asked for could not be made of what the run
  // wrote (the file was cut short, or could not be replaced); empty when
  // it was made or not asked for. The listing is then not to be shown.
  Text listingFailure = {};
  // The user stopped the run: the program and all it started were ended.
  bool stopped = false;
};

// A work folder's lock, held by one program at a time (a named mutex on
// Windows, flock on Linux), so that two windows never make their listings in
// one folder at once. Released when destroyed, or when the program ends.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

// A started program. Destroying it lets the program run on untracked.
class Process {
 public:
  virtual ~Process() = default;
};

struct Launch {
  std::unique_ptr<Process> process;  // null when the program could not start
  Text failure;                      // the system's reason, when it could not
};

class WindowRuntime {
 public:
  virtual ~WindowRuntime() = default;

  // Builds frmMain from kFormDesign and the control designs, every control in
  // its designed start state, not yet shown. Events go to `events`. Fails
  // with the system's reason when the window could not be made.
  virtual Result<void> CreateForm(FormEvents& events) = 0;
  // Shows the window with the focus on the first control of the focus order.
  virtual void ShowForm() = 0;
  // Delivers the user's events until the form is closed, by its close box or
  // by CloseForm; then the window is gone.
  virtual void RunUntilClosed() = 0;
  // Closes the form from the program (the exit button).
  virtual void CloseForm() = 0;

  // Controls, by their design names.
  virtual Text GetText(ControlId control) const = 0;  // text field, editable list
  virtual void SetText(ControlId control, const Text& text) = 0;
  virtual int GetValue(ControlId control) const = 0;  // check box 0/1/2, option 0/1
  virtual void SetValue(ControlId control, int value) = 0;
  virtual int GetListIndex(ControlId control) const = 0;  // -1: no entry
  virtual void SetListIndex(ControlId control, int index) = 0;
  virtual void AddItem(ControlId control, const Text& entry) = 0;
  virtual bool IsEnabled(ControlId control) const = 0;
  virtual void SetEnabled(ControlId control, bool enabled) = 0;
  virtual void SetFontSize(ControlId control, double points) = 0;

  // The folder that holds the program's executable, without a trailing
  // separator except for a root.
  virtual Text ProgramFolder() const = 0;
  // A per-user folder for the program's work files, for when the program
  // folder cannot or must not be written. It may not exist yet.
  virtual Text UserWorkFolder() const = 0;
  // Whether the program folder belongs to an installation (an installer's or
  // the package manager's: under Program Files on Windows, under /usr on
  // Linux), which must never hold the user's files, whoever runs it.
  virtual bool IsInstalled() const = 0;
  // The separator the platform's users write paths with: the program's
  // backslashes are shown as this in its messages.
  virtual char PathSeparator() const { return '\\'; }

  // The mouse pointer over the whole program.
  virtual void SetMousePointer(MousePointer pointer) = 0;
  // A modal box with the application title, an OK button and the style's icon.
  virtual void ShowMessage(const Text& prompt, MessageStyle style) = 0;
  // A modal question with the application title and Yes and No buttons (No
  // the default); true for Yes.
  virtual bool Ask(const Text& prompt) = 0;
  // The folder's lock, waiting while another program holds it, at most
  // `patience`, the window painting and taking no input meanwhile; null when
  // it is still held then.
  virtual std::unique_ptr<FolderLock> LockFolder(const Text& folder, std::chrono::milliseconds patience) = 0;
  // Starts a program by its command line without waiting for it, in a folder
  // of the system's own (never the folder the user started Quernel in). A
  // command line whose program is a batch file ("…\path.bat") runs it
  // through the platform's command interpreter, with the AutoRun commands and
  // delayed expansion ("!") off, and in Unicode when `unicodeListing` is set
  // (cmd /u /d /v:off /c). A program started with the focus has taken its
  // first input (Windows: it is idle; Linux: the opener has handed the file
  // on, and a moment has passed), or a bounded time has, when this returns.
  virtual Launch LaunchProgram(const LaunchRequest& request) = 0;
  // Returns when the process has ended, with how it ended. Meanwhile the
  // window keeps painting but takes no input, except that its close box and
  // Esc call `stopWanted`: when that answers true, the program and all it
  // started are ended, and the wait returns with `stopped` set.
  virtual ProcessEnd WaitWhilePainting(Process& process, const std::function<bool()>& stopWanted) = 0;
};

}  // namespace quernel
