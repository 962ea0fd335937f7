#include "core/frm_main.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/frm_about.h"
#include "core/module1.h"
#include "design/program_texts.h"

namespace quernel {
namespace {

using enum ControlId;

constexpr double kFontPoints = 9.0;
// Less than this free after the run: the disk filled up, and an interpreter
// that says nothing of a failed write (Wine's cmd) may have cut the listing.
constexpr std::uint64_t kFullDisk = 4096;
// What the interpreters say, alone, when dir finds nothing to list: real
// cmd's words (Wine's end in "。", and its English ones are "File not
// found."), and quernel-cmd's, which are the same.
constexpr std::string_view kNothingFoundWords[] = {"找不到文件", "File Not Found", "File not found"};
// How long a window waits for another one's listing in the same folder.
constexpr std::chrono::seconds kLockPatience{30};

// Load gives these the 9-point font after the four lists, in this order.
constexpr std::array kFontOrder{
    txtPath, Frame2, Frame1,  Label1, Label2, Label3, Label4, Label5, Label6, cmdBrowse, cmdAbout,
    cmdHelp, cmdOut, cmdExit, optA,   optD,   optH,   optR,   optS,   chkL,   chkT,      chkW,
};

// A double quote would end the quoted path in the batch file, and CR, LF or
// any other control character would break its line.
bool HasForbiddenCharacter(const Text& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; });
}

// Whether the run's only words are the interpreter's "nothing found", with an
// exit code of 0 (Wine's cmd) or 1 (cmd's ERRORLEVEL after a failed dir).
bool FoundNothing(const RunEnd& end) {
  constexpr std::string_view kBlanks = " \t\r\n";
  std::string_view words = end.errorOutput;
  words.remove_prefix(std::min(words.size(), words.find_first_not_of(kBlanks)));
  words.remove_suffix(words.size() - (words.find_last_not_of(kBlanks) + 1));
  for (std::string_view stop : {"。", "."})
    if (words.ends_with(stop)) words.remove_suffix(stop.size());
  return (end.exitCode == 0 || end.exitCode == 1) &&
         std::ranges::find(kNothingFoundWords, words) != std::end(kNothingFoundWords);
}

}  // namespace

frmMain::frmMain(const Platform& platform, StartUp startUp)
    : platform_(platform), startUp_(std::move(startUp)) {}

void frmMain::Fill(ControlId list, auto&& entries) {
  for (const auto& entry : entries) platform_.window.AddItem(list, Text(entry));
}

void frmMain::Load() {
  WindowRuntime& w = platform_.window;
  Fill(cobFilter, FilePatterns());
  w.SetListIndex(cobFilter, 0);
  w.SetFontSize(cobFilter, kFontPoints);

  auto entries = [](auto table) {
    std::vector<std::string_view> texts;
    for (const auto& row : table) texts.push_back(row.entry);
    return texts;
  };
  for (auto [list, texts] :
       {std::pair{cobType, entries(AttributeModes())}, std::pair{cobSort, entries(SortKeys())},
        std::pair{cobWay, entries(SortDirections())}}) {
    Fill(list, texts);
    w.SetListIndex(list, 0);  // runs the list's Click: the start values
    w.SetFontSize(list, kFontPoints);
  }
  for (ControlId control : kFontOrder) w.SetFontSize(control, kFontPoints);
  // The folder the program was started with; nothing else differs from a
  // start without one.
  if (auto folder = FolderForField(startUp_.arguments, startUp_.currentFolder, PathSource::CommandLine,
                                   platform_.files))
    w.SetText(txtPath, *folder);
}

// The batch file goes unless another window is running it now.
void frmMain::Unload() {
  const Text folder = writtenWorkFolder_.value_or(platform_.window.ProgramFolder());
  if (const auto lock = platform_.window.LockFolder(folder, std::chrono::seconds(0)))
    static_cast<void>(platform_.files.RemoveFile(folder + Text(texts::kBatchFileName)));  // gone or not: done
}

void frmMain::Click(ControlId control) {
  using Handler = void (frmMain::*)();
  static constexpr std::pair<ControlId, Handler> kHandlers[] = {
      {cobType, &frmMain::cobType_Click},     {cobSort, &frmMain::cobSort_Click},
      {cobWay, &frmMain::cobWay_Click},       {chkT, &frmMain::chkT_Click},
      {chkW, &frmMain::chkW_Click},           {cmdOut, &frmMain::cmdOut_Click},
      {cmdBrowse, &frmMain::cmdBrowse_Click}, {cmdAbout, &frmMain::cmdAbout_Click},
      {cmdHelp, &frmMain::cmdHelp_Click},     {cmdExit, &frmMain::cmdExit_Click},
  };
  for (const auto& [id, handler] : kHandlers)
    if (id == control) return (this->*handler)();
  for (const auto& button : AttributeButtons())
    if (button.button == control) return AttributeButton_Click(button);
}

bool frmMain::CanDrop(const std::vector<Text>& paths) {
  return FolderForField(paths, startUp_.currentFolder, PathSource::Drop, platform_.files).has_value();
}

void frmMain::Drop(const std::vector<Text>& paths) {
  if (auto folder = FolderForField(paths, startUp_.currentFolder, PathSource::Drop, platform_.files))
    platform_.window.SetText(txtPath, *folder);
}

// --- Listing options -------------------------------------------------------

void frmMain::cobType_Click() {
  const int index = platform_.window.GetListIndex(cobType);
  const auto modes = AttributeModes();
  if (index < 0 || static_cast<std::size_t>(index) >= modes.size()) return;
  const AttributeMode& mode = modes[static_cast<std::size_t>(index)];
  for (const auto& button : AttributeButtons())
    platform_.window.SetEnabled(button.button, mode.attributeButtonsEnabled);
  options_.strAttrSwitch = mode.attrSwitch;
  if (mode.attrValue) options_.strAttrValue = *mode.attrValue;
}

void frmMain::AttributeButton_Click(const AttributeButton& button) {
  options_.strAttrValue = button.letter;
}

void frmMain::cobSort_Click() {
  const int index = platform_.window.GetListIndex(cobSort);
  const auto keys = SortKeys();
  if (index < 0 || static_cast<std::size_t>(index) >= keys.size()) return;
  options_.strSortKey = keys[static_cast<std::size_t>(index)].key;
}

void frmMain::cobWay_Click() {
  const int index = platform_.window.GetListIndex(cobWay);
  const auto directions = SortDirections();
  if (index < 0 || static_cast<std::size_t>(index) >= directions.size()) return;
  options_.strSortDir = directions[static_cast<std::size_t>(index)].sign;
}

// The two style boxes exclude each other. Unchecking the other box raises its
// Click, which sees 0 and stops the chain.
void frmMain::chkT_Click() {
  if (platform_.window.GetValue(chkT) == 1) platform_.window.SetValue(chkW, 0);
}

void frmMain::chkW_Click() {
  if (platform_.window.GetValue(chkW) == 1) platform_.window.SetValue(chkT, 0);
}

// --- Batch file writer -----------------------------------------------------

void frmMain::ReadListingStyleFromWindow() {
  WindowRuntime& w = platform_.window;
  options_.strFolder = FolderWithBackslash(w.GetText(txtPath));
  options_.strFilter = w.GetText(cobFilter);
  for (const StyleBox& style : StyleBoxes())  // only Value 1 counts; 2 (greyed) does not
    options_.*style.fragment = w.GetValue(style.box) == 1 ? Text(style.whenChecked) : Text();
}

// The program folder, unless it belongs to an installation, cannot be
// written or its path would break the batch file's quoted redirection or the
// launch command line: then the per-user folder.
Result<Text> frmMain::WorkFolder() {
  const Text programFolder = platform_.window.ProgramFolder();
  if (!platform_.window.IsInstalled() && !HasForbiddenCharacter(programFolder) &&
      platform_.files.CanCreateFilesIn(programFolder))
    return programFolder;
  return UserWorkFolder();
}

// The per-user folder, made when missing; it must pass the same test.
Result<Text> frmMain::UserWorkFolder() {
  const Text userFolder = platform_.window.UserWorkFolder();
  if (HasForbiddenCharacter(userFolder))
    return Fail(FillMessage(texts::kWorkFolderHasForbiddenCharacter, ShownPath(userFolder)));
  if (const FileResult made = platform_.files.MakeFolders(userFolder); !made)
    return Fail(FillMessage(texts::kWorkFolderNotMade, ShownPath(userFolder), Shown(made.error().reason)));
  return userFolder;
}

frmMain::BatchFileResult frmMain::MakeBatchFile() {
  ReadListingStyleFromWindow();
  if (HasForbiddenCharacter(platform_.window.GetText(txtPath)))
    return Fail(BatchFileFailure{FillMessage(texts::kInputHasForbiddenCharacter, Text(texts::kFolderInput),
                                             Text(texts::kFolderInputToChange))});
  if (HasForbiddenCharacter(options_.strFilter))
    return Fail(BatchFileFailure{FillMessage(texts::kInputHasForbiddenCharacter, Text(texts::kPatternInput),
                                             Text(texts::kPatternInput))});

  const auto workFolder = WorkFolder();
  if (!workFolder) return Fail(BatchFileFailure{workFolder.error()});
  BatchFileResult written = WriteBatchFileIn(*workFolder);
  // A program folder on a full disk: the user's folder may have room.
  if (!written && written.error().diskFull && *workFolder == platform_.window.ProgramFolder()) {
    const auto userFolder = UserWorkFolder();
    if (!userFolder) return Fail(BatchFileFailure{userFolder.error()});
    written = WriteBatchFileIn(*userFolder);
  }
  if (written) writtenWorkFolder_ = written->folder;
  return written;
}

frmMain::BatchFileResult frmMain::WriteBatchFileIn(const Text& workFolder) {
  // Another window's listing in this folder is not to be disturbed.
  auto lock = platform_.window.LockFolder(workFolder, kLockPatience);
  if (!lock) return Fail(BatchFileFailure{FillMessage(texts::kWorkFolderBusy, ShownPath(workFolder))});
  BatchFile batch{workFolder,
                  workFolder + Text(texts::kBatchFileName),
                  workFolder + Text(texts::kListingFileName),
                  {},
                  std::move(lock)};
  const CodePage& codePage = platform_.codePage;
  // Nearly always the code page holds the folder, the pattern and the work
  // folder, and the batch file names them. When it does not, the names reach
  // cmd through the run's environment, never through the code page.
  auto bytes = codePage.Encode(BatchFileText(ListingCommand(options_, workFolder)));
  if (!bytes) {
    ListOptions byName = options_;
    byName.strFolder = "%" + Text(texts::kFolderVariable) + "%";
    byName.strFilter = "%" + Text(texts::kPatternVariable) + "%";
    const Text workByName = "%" + Text(texts::kWorkFolderVariable) + "%";
    bytes = codePage.Encode(BatchFileText(ListingCommand(byName, workByName), PercentSigns::AreVariables));
    batch.environment = {{Text(texts::kFolderVariable), options_.strFolder},
                         {Text(texts::kPatternVariable), options_.strFilter},
                         {Text(texts::kWorkFolderVariable), workFolder}};
  }
  if (!bytes) return Fail(BatchFileFailure{FillMessage(texts::kBatchFileNotEncoded, codePage.Name())});
  // An old listing that stays would be shown as the new one: the run's
  // redirection fails on the same file. Where names differ by case, the
  // command's "Path.txt" is another file than "path.txt": both go.
  for (const std::string_view name : {texts::kListingFileName, texts::kListingFileNameInCommand}) {
    const Text listing = workFolder + Text(name);
    if (const FileResult removed = platform_.files.RemoveFile(listing);
        !removed && removed.error().kind != FileFailure::NotFound)
      return Fail(BatchFileFailure{
          FillMessage(texts::kListingNotRemoved, ShownPath(listing), Shown(removed.error().reason))});
  }
  const FileResult written = platform_.files.WriteNewFile(batch.batchPath, *bytes);
  if (!written) {
    const FileError& error = written.error();
    return Fail(
        BatchFileFailure{FillMessage(error.kind == FileFailure::NotARegularFile ? texts::kBatchFileNotRegular
                                                                                : texts::kBatchFileNotWritten,
                                     ShownPath(batch.batchPath), Shown(error.reason)),
                         error.kind == FileFailure::DiskFull});
  }
  return batch;
}

// --- Output command --------------------------------------------------------

void frmMain::cmdOut_Click() {
  WindowRuntime& w = platform_.window;
  w.SetMousePointer(MousePointer::Hourglass);
  const BatchFileResult made = MakeBatchFile();
  if (!made) {
    w.SetMousePointer(MousePointer::Default);
    w.ShowMessage(made.error().message, MessageStyle::Error);
    return;
  }
  const BatchFile& batch = *made;
  const auto end =
      w.RunListing({batch.batchPath, batch.listingPath, {Text(texts::kDirPresetVariable)}, batch.environment},
                   [&w] { return w.Ask(Text(texts::kStopListingQuestion)); });
  w.SetMousePointer(MousePointer::Default);
  if (!end) return ShowError(texts::kBatchFileNotRun, batch.batchPath, end.error());
  if (end->stopped)
    return w.ShowMessage(Fill(texts::kListingStopped, ShownPath(batch.listingPath)),
                         MessageStyle::Information);
  // cmd ends a batch file's "exit" with 0 whatever dir met: what it wrote to
  // its error stream tells a failed or cut-short listing.
  if (const Text words = QuotedRunEnd(*end); !words.empty()) {
    if (!platform_.files.FolderExists(options_.strFolder))
      return ShowError(texts::kListingFolderMissing, options_.strFolder);
    if (FoundNothing(*end))
      return w.ShowMessage(
          Fill(texts::kListingFoundNothing, ShownPath(options_.strFolder), Shown(options_.strFilter)),
          MessageStyle::Information);
    return w.ShowMessage(Fill(texts::kListingNotCompleted, ShownPath(batch.listingPath), words),
                         MessageStyle::Error);
  }
  if (!end->listingFailure.empty())
    return ShowError(texts::kListingNotConverted, batch.listingPath, end->listingFailure);
  if (const auto free = platform_.files.FreeBytesIn(batch.folder); free && *free < kFullDisk)
    return ShowError(texts::kListingDiskFull, batch.listingPath);
  if (!platform_.files.FileExists(batch.listingPath))
    return ShowError(texts::kListingMissing, batch.listingPath);

  w.ShowMessage(Text(texts::kNotice), MessageStyle::Information);
  if (const auto viewer = w.OpenListing(batch.listingPath); !viewer)
    ShowError(texts::kViewerNotStarted, batch.listingPath, viewer.error());
}

// A message about a path, and perhaps the system's reason.
void frmMain::ShowError(std::string_view message, const Text& path, const Text& reason) {
  platform_.window.ShowMessage(Fill(message, ShownPath(path), Shown(reason)), MessageStyle::Error);
}

// A message's fields filled in, the viewer's name among them.
Text frmMain::Fill(std::string_view message, const Text& arg0, const Text& arg1) const {
  return FillMessage(message, arg0, arg1, platform_.window.ViewerName());
}
Text frmMain::ShownPath(const Text& path) const {
  return quernel::ShownPath(path, platform_.window.PathSeparator());
}

// --- Shell services and exit -------------------------------------------------

void frmMain::cmdBrowse_Click() {
  const Text folder = Module1::BrowseForFolder(platform_.shell, Text(texts::kFolderPrompt));
  if (!folder.empty()) platform_.window.SetText(txtPath, folder);  // cancel keeps the field
}

void frmMain::cmdAbout_Click() {
  frmAbout::ShowAbout(platform_);
}

void frmMain::cmdHelp_Click() {
  const Text helpPage = platform_.window.ProgramFolder() + Text(texts::kHelpFileName);
  if (const auto help = platform_.window.OpenHelp(helpPage); !help)
    ShowError(texts::kHelpNotStarted, helpPage, help.error());
}

void frmMain::cmdExit_Click() {
  platform_.window.CloseForm();
}

int RunQuernel(const Platform& platform, const StartUp& startUp) {
  frmMain form(platform, startUp);
  if (const auto created = platform.window.CreateForm(form); !created) {
    platform.window.ShowMessage(FillMessage(texts::kWindowNotCreated, Shown(created.error())),
                                MessageStyle::Error);
    return 1;
  }
  form.Load();
  platform.window.ShowForm();
  platform.window.RunUntilClosed();
  form.Unload();
  return 0;
}

}  // namespace quernel
