#pragma once

// The fake platform: every service the program uses, recorded in order and
// answered as a test scripts it. Files are real, in a temporary folder.

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "base/temp_folder.h"
#include "design/program_texts.h"
#include "platform/platform.h"

namespace quernel::fake {

// One line a request, in order: "pointer 11", "remove <path>", "write <path>",
// "launch 0 <command line>", "wait", "message 64 <prompt>", "close"...
using Journal = std::vector<Text>;

struct ControlState {
  ControlKind kind{};
  Text text;
  int value = 0;
  int listIndex = -1;
  std::vector<Text> items;
  bool enabled = true;
  bool operator==(const ControlState&) const = default;
};

struct Message {
  Text prompt;
  MessageStyle style;
};

class FakeWindowRuntime final : public WindowRuntime {
 public:
  FakeWindowRuntime(Journal& journal, Text program, Text userWork)
      : programFolder(std::move(program)), userWorkFolder(std::move(userWork)), journal_(journal) {}

  Result<void> CreateForm(FormEvents& events) override;
  void ShowForm() override { focus = FocusOrder().front(); }
  void RunUntilClosed() override {
    if (userSession) userSession(*this);
  }
  void CloseForm() override { journal_.push_back("close"); }

  Text GetText(ControlId control) const override { return State(control).text; }
  void SetText(ControlId control, const Text& text) override { State(control).text = text; }
  int GetValue(ControlId control) const override { return State(control).value; }
  void SetValue(ControlId control, int value) override;
  int GetListIndex(ControlId control) const override { return State(control).listIndex; }
  void SetListIndex(ControlId control, int index) override;
  void AddItem(ControlId control, const Text& entry) override { State(control).items.push_back(entry); }
  bool IsEnabled(ControlId control) const override { return State(control).enabled; }
  void SetEnabled(ControlId control, bool enabled) override { State(control).enabled = enabled; }
  void SetFontSize(ControlId control, double points) override { fontSizes.emplace_back(control, points); }

  Text ProgramFolder() const override { return programFolder; }
  Text UserWorkFolder() const override { return userWorkFolder; }
  bool IsInstalled() const override { return installed; }
  void SetMousePointer(MousePointer pointer) override;
  void ShowMessage(const Text& prompt, MessageStyle style) override;
  bool Ask(const Text& prompt) override;
  std::unique_ptr<FolderLock> LockFolder(const Text& folder, std::chrono::milliseconds patience) override;
  Result<RunEnd> RunListing(const ListingRun& run, const std::function<bool()>& stopWanted) override;
  Result<void> OpenListing(const Text& listing) override { return Open(texts::kViewer, listing); }
  Result<void> OpenHelp(const Text& page) override { return Open(texts::kFileManager, page); }
  Text ViewerName() const override { return viewerName; }

  // What the user does, with the effects a real window has before Click.
  void UserClick(ControlId control);  // buttons, check boxes, option buttons
  void UserPick(ControlId list, int index);
  void UserType(ControlId control, const Text& text);

  ControlState& State(ControlId control) { return controls_.at(control); }
  const ControlState& State(ControlId control) const { return controls_.at(control); }

  Text programFolder, userWorkFolder;
  bool installed = false;                                  // the program folder is an installation's
  std::optional<Text> createFailure;                       // the system's reason for refusing the window
  std::function<void(FakeWindowRuntime&)> userSession;     // the user's session, run by RunUntilClosed
  std::function<Result<RunEnd>(const ListingRun&)> onRun;  // the interpreter; none: it ends at once
  Text openRefusal;  // the system's reason when the viewer or help page cannot open
  Text viewerName = Text(texts::kNotepadName);  // what ViewerName answers
  std::set<Text> lockedElsewhere;               // folders whose lock another window holds
  int stopTries = 0;                            // times the user asks to stop while a run is waited for
  bool answer = false;                          // the user's answer to a question
  std::optional<ControlId> focus;               // set when the form is shown
  MousePointer pointer = MousePointer::Default;
  std::vector<Message> messages;
  std::vector<ListingRun> runs;
  std::vector<std::pair<ControlId, double>> fontSizes;  // in the order they were set

 private:
  Result<void> Open(std::string_view program, const Text& file);
  void RaiseClick(ControlId control) {
    if (events_) events_->Click(control);
  }

  Journal& journal_;
  std::set<Text> heldLocks_;
  FormEvents* events_ = nullptr;
  std::map<ControlId, ControlState> controls_;
};

// Real files, a backslash separating as a slash does; scriptable failures.
class FakeFileSystem final : public FileSystem {
 public:
  explicit FakeFileSystem(Journal& journal) : journal_(journal) {}

  FileResult RemoveFile(const Text& path) override;
  FileResult WriteNewFile(const Text& path, std::string_view bytes) override;
  bool FileExists(const Text& path) const override { return is_regular_file(Status(path)); }
  bool FolderExists(const Text& path) const override { return is_directory(Status(path)); }
  bool CanCreateFilesIn(const Text& folder) const override {
    return FolderExists(folder) && !IsReadOnly(HostPath(folder));
  }
  FileResult MakeFolders(const Text& folder) override;
  std::optional<std::uint64_t> FreeBytesIn(const Text&) const override { return freeBytes; }

  std::set<Text> readOnlyFolders;  // nothing can be created there, as under Program Files
  std::set<Text> fullFolders;      // on a full disk: a file written there does not fit
  std::optional<std::uint64_t> freeBytes = std::uint64_t{1} << 30;  // on every disk

  static std::filesystem::path HostPath(const Text& path);
  static Text ReadBytes(const Text& path);
  static std::filesystem::file_status Status(const Text& path);

 private:
  bool IsReadOnly(const std::filesystem::path& folder) const {
    return readOnlyFolders.contains(folder.lexically_normal().string());
  }
  Journal& journal_;
};

class FakeShellDialogs final : public ShellDialogs {
 public:
  Text PickFolder(const Text& prompt) override {
    pickerRequests.push_back(prompt);
    return folderAnswer;
  }
  void ShowAboutBox(const Text& appName, const Text& otherText) override {
    aboutBoxes.emplace_back(appName, otherText);
  }

  Text folderAnswer;                              // what the user picks; empty: cancel
  std::vector<Text> pickerRequests;               // the prompts
  std::vector<std::pair<Text, Text>> aboutBoxes;  // name, text
};

// Latin-1 by default, a small code page in which "é" fits and Chinese does not.
class FakeCodePage final : public CodePage {
 public:
  std::optional<std::string> Encode(const Text& text) const override;
  Text Name() const override { return utf8 ? "65001" : "28591"; }
  bool utf8 = false;
  Text refusedWhenContaining;  // a text holding this is refused, though each part of it passes
};

// The four fakes over one journal, in a fresh temporary folder that holds the program folder.
class FakePlatform {
  TempFolder root_;  // first: the fakes below are made in it

 public:
  FakePlatform();

  Platform Services() { return {window, files, shell, codePage}; }
  Text Root() const { return root_.Name(); }

  // An interpreter for onRun: it writes `listing` as the listing and ends as `end` says.
  void SimulateInterpreter(Text listing = "listing\r\n", RunEnd end = {});

  Journal journal;
  FakeWindowRuntime window;
  FakeFileSystem files;
  FakeShellDialogs shell;
  FakeCodePage codePage;
};

}  // namespace quernel::fake
