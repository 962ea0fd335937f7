#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "base/result.h"
#include "design/form_design.h"
#include "design/text.h"

// The window runtime: the window frmMain and its controls, their events, the
// application's folders, the mouse pointer, the message box, and the three
// things the program starts: the listing's run, the viewer and the help page.
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

// The listing's run: a batch file that redirects dir's output to the listing.
struct ListingRun {
  Text batchFile;                                  // "<work folder>\path.bat"
  Text listing;                                    // "<work folder>\path.txt"
  std::vector<Text> unsetEnvironment;              // variables the run must not inherit
  std::vector<std::pair<Text, Text>> environment;  // variables it gets, over inherited ones
};

// How a listing's run ended.
struct RunEnd {
  int exitCode = 0;
  // What the interpreter wrote to its error stream, as text.
  Text errorOutput = {};
  // Why the listing could not be made Unicode text of what the run wrote (it
  // was cut inside a character, or could not be replaced); empty when it was.
  // The listing is then not to be shown.
  Text listingFailure = {};
  // The user stopped the run: the interpreter and all it started were ended.
  bool stopped = false;
};

// A work folder's lock, held by one program at a time (a named mutex on
// Windows, flock on Linux), so that two windows never make their listings in
// one folder at once. Released when destroyed, or when the program ends.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
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
  // Runs the batch file hidden through the platform's command interpreter
  // and waits for it, the window painting but taking no input. The
  // interpreter starts in a folder of the system's own (never the folder the
  // user started Quernel in), with the AutoRun commands and delayed expansion
  // ("!") off, writing the listing in Unicode, and with its error stream
  // kept; when it has ended the listing is UTF-8 text (on Windows with a
  // byte-order mark, so that no viewer guesses). Windows runs
  // `"%ComSpec%" /u /d /v:off /c ""<batch file>""`, Linux quernel-cmd with
  // the same switches.
  // While a listing runs the window's close box and Esc never close it:
  // they call `stopWanted`, and when that answers true the interpreter and
  // all it started are ended and the run ends with `stopped` set. Fails with
  // the system's reason when the interpreter cannot start.
  virtual Result<RunEnd> RunListing(const ListingRun& run, const std::function<bool()>& stopWanted) = 0;
  // Opens the listing for the user in the platform's text viewer, with the
  // focus: Notepad on Windows (`notepad.exe "<listing>"`), the desktop's text
  // editor on Linux (xdg-open). Returns once the viewer has the file (Windows:
  // it is idle; Linux: the opener has handed it on, and a moment has passed)
  // or a bounded time has passed. Fails with the system's reason when the
  // viewer cannot start or refuses the file.
  virtual Result<void> OpenListing(const Text& listing) = 0;
  // Opens the help page for the user (`explorer.exe "<page>"`; xdg-open).
  virtual Result<void> OpenHelp(const Text& page) = 0;
  // The viewer's name as the platform's users know it, for the messages
  // that say it was not opened ("记事本" on Windows).
  virtual Text ViewerName() const = 0;
};

}  // namespace quernel
