#pragma once

// The fake platform: every platform service the program uses, recorded in
// order and answered as a test scripts it. Files are real, in a temporary
// folder that is the fake's ProgramFolder.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "platform/platform.h"

namespace quernel::fake {

// Everything the program asked of the platform, one line a request, in order:
// "pointer 11", "write <path>", "launch 0 <command line>", "wait",
// "message 64 <prompt>", "remove <path>", "close"...
using Journal = std::vector<Text>;

struct ControlState {
  ControlKind kind{};
  Text text;
  int value = 0;
  int listIndex = -1;
  std::vector<Text> items;
  bool enabled = true;
  double fontSize = 0;
};

struct Message {
  Text prompt;
  MessageStyle style;
};

class FakeWindowRuntime final : public WindowRuntime {
 public:
  FakeWindowRuntime(Journal& journal, Text programFolder, Text userWorkFolder);

  std::optional<Text> CreateForm(FormEvents& events) override;
  void ShowForm() override;
  void RunUntilClosed() override;
  void CloseForm() override;
  NativeHandle FormHandle() const override { return kFormHandle; }
  NativeHandle FormIcon() const override { return kFormIcon; }

  Text GetText(ControlId control) const override;
  void SetText(ControlId control, const Text& text) override;
  int GetValue(ControlId control) const override;
  void SetValue(ControlId control, int value) override;
  int GetListIndex(ControlId control) const override;
  void SetListIndex(ControlId control, int index) override;
  void AddItem(ControlId control, const Text& entry) override;
  bool IsEnabled(ControlId control) const override;
  void SetEnabled(ControlId control, bool enabled) override;
  void SetFontSize(ControlId control, double points) override;

  Text ProgramFolder() const override { return programFolder_; }
  Text UserWorkFolder() const override { return userWorkFolder_; }
  void SetMousePointer(MousePointer pointer) override;
  void ShowMessage(const Text& prompt, MessageStyle style) override;
  Launch LaunchProgram(const LaunchRequest& request) override;
  ProcessEnd WaitWhilePainting(Process& process) override;

  // What the user does, with the effects a real window has before Click.
  void UserClick(ControlId control);  // buttons, check boxes, option buttons
  void UserPick(ControlId list, int index);
  void UserType(ControlId control, const Text& text);

  const ControlState& State(ControlId control) const;
  bool Shown() const { return shown_; }
  bool Closed() const { return closed_; }
  std::optional<ControlId> Focus() const { return focus_; }
  MousePointer Pointer() const { return pointer_; }
  const std::vector<Message>& Messages() const { return messages_; }
  const std::vector<LaunchRequest>& Launches() const { return launches_; }
  const std::vector<ControlId>& FontSizeOrder() const { return fontSizeOrder_; }

  void SetProgramFolder(Text folder) { programFolder_ = std::move(folder); }
  void SetUserWorkFolder(Text folder) { userWorkFolder_ = std::move(folder); }
  // The system's reason for refusing to make the window, as a test scripts it.
  std::optional<Text> createFailure;
  // The user's session, run inside RunUntilClosed.
  std::function<void(FakeWindowRuntime&)> userSession;
  // Stands in for the started program (a test's interpreter, viewer...).
  std::function<Launch(const LaunchRequest&)> onLaunch;
  // A started program that ends, when waited for, as scripted.
  static std::unique_ptr<Process> Started(ProcessEnd end = {});

  static constexpr NativeHandle kFormHandle = 0x1001;
  static constexpr NativeHandle kFormIcon = 0x2002;

 private:
  ControlState& Mutable(ControlId control);
  void RaiseClick(ControlId control);

  Journal& journal_;
  Text programFolder_;
  Text userWorkFolder_;
  FormEvents* events_ = nullptr;
  std::map<ControlId, ControlState> controls_;
  bool shown_ = false;
  bool closed_ = false;
  std::optional<ControlId> focus_;
  MousePointer pointer_ = MousePointer::Default;
  std::vector<Message> messages_;
  std::vector<LaunchRequest> launches_;
  std::vector<ControlId> fontSizeOrder_;
};

// Real files on the host, with the Windows path rules the program assumes (a
// backslash separates, a name is found regardless of case) and scriptable
// failures.
class FakeFileSystem final : public FileSystem {
 public:
  explicit FakeFileSystem(Journal& journal) : journal_(journal) {}

  FileResult RemoveFile(const Text& path) override;
  FileResult WriteNewFile(const Text& path, std::string_view bytes) override;
  bool FileExists(const Text& path) const override;
  bool FolderExists(const Text& path) const override;
  bool CanCreateFilesIn(const Text& folder) const override;
  FileResult MakeFolders(const Text& folder) override;
  std::optional<Text> ShortPathOf(const Text& path) const override;
  std::optional<std::uint64_t> FreeBytesIn(const Text&) const override { return freeBytes; }

  // Folders where nothing can be created, as for a user under Program Files.
  std::set<Text> readOnlyFolders;
  // Short forms of long paths, as the system would keep them.
  std::map<Text, Text> shortPaths;
  // The free space of every disk.
  std::optional<std::uint64_t> freeBytes = std::uint64_t{1} << 30;

  static std::filesystem::path HostPath(const Text& path);
  static Text ReadBytes(const Text& path);

 private:
  bool IsReadOnlyFolder(const Text& folder) const;
  Journal& journal_;
};

struct FolderPickerRequest {
  NativeHandle owner;
  Text prompt;
};
struct AboutBoxRequest {
  NativeHandle owner;
  Text appName;
  Text otherText;
  NativeHandle icon;
};

class FakeShellDialogs final : public ShellDialogs {
 public:
  explicit FakeShellDialogs(Journal& journal) : journal_(journal) {}
  Text PickFolder(NativeHandle owner, const Text& prompt) override;
  void ShowAboutBox(NativeHandle owner, const Text& appName, const Text& otherText,
                    NativeHandle icon) override;

  std::deque<Text> folderAnswers;  // what the user picks; empty text: cancel
  std::vector<FolderPickerRequest> pickerRequests;
  std::vector<AboutBoxRequest> aboutBoxes;

 private:
  Journal& journal_;
};

// Latin-1 by default: a small code page in which "é" fits and Chinese does
// not; UTF-8 holds everything.
class FakeCodePage final : public CodePage {
 public:
  enum class Kind { Latin1, Utf8 };
  std::optional<std::string> Encode(const Text& text) const override;
  Text Name() const override { return kind == Kind::Latin1 ? "28591" : "65001"; }
  Kind kind = Kind::Latin1;
  // A text holding this is refused as a whole, though each part of it passes.
  Text refusedWhenContaining;
};

// The four fakes over one journal and a fresh temporary folder, removed again
// when the fake is destroyed.
class FakePlatform {
  Text root_;  // first: the fakes below are made in it

 public:
  FakePlatform();
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  Platform Services() { return {window, files, shell, codePage}; }
  Text Root() const { return root_; }

  // An interpreter stand-in for onLaunch: a batch file's launch writes
  // `listing` into the path.txt beside it and ends as `end` says; other
  // programs just start.
  void SimulateInterpreter(Text listing = "listing\r\n", ProcessEnd end = {});

  Journal journal;
  FakeWindowRuntime window;
  FakeFileSystem files;
  FakeShellDialogs shell;
  FakeCodePage codePage;

 private:
  static Text MakeRoot();
};

}  // namespace quernel::fake
