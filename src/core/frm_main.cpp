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
// How much of the interpreter's error output a message quotes.
constexpr std::size_t kQuotedLines = 3;
constexpr std::size_t kQuotedLineCharacters = 100;
// Less than this free after the run: the disk filled up, and an interpreter
// that says nothing of a failed write (Wine's cmd) may have cut the listing.
constexpr std::uint64_t kFullDisk = 4096;
// What the interpreters say, alone, when dir finds nothing to list: real
// cmd's words (Wine's end in "。", and its English ones are "File not
// found."), and quernel-cmd's, which are the same.
constexpr std::string_view kNothingFoundWords[] = {"找不到文件", "File Not Found", "File not found"};

// Load gives these the 9-point font after the four lists, in this order.
constexpr std::array kFontOrder{
    txtPath, Frame2, Frame1,  Label1, Label2, Label3, Label4, Label5, Label6, cmdBrowse, cmdAbout,
    cmdHelp, cmdOut, cmdExit, optA,   optD,   optH,   optR,   optS,   chkL,   chkT,      chkW,
};

Text Quoted(const Text& path) {
  return '"' + path + '"';
}

// A double quote would end the quoted path in the batch file, and CR, LF or
// any other control character would break its line.
bool HasForbiddenCharacter(const Text& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; });
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The line without its blanks at both ends, control characters as spaces,
// and cut after `limit` characters.
Text Trimmed(Text line, std::size_t limit) {
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  const auto first = line.find_first_not_of(' ');
  if (first == Text::npos) return {};
  line = line.substr(first, line.find_last_not_of(' ') - first + 1);
  std::size_t characters = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (IsContinuationByte(line[i])) continue;
    if (++characters > limit) return line.substr(0, i) + "…";
  }
  return line;
}

// Whether the run's only words are the interpreter's "nothing found", with an
// exit code of 0 (Wine's cmd) or 1 (cmd's ERRORLEVEL after a failed dir).
bool FoundNothing(const ProcessEnd& end) {
  Text words = Trimmed(end.errorOutput, end.errorOutput.size());
  for (std::string_view stop : {"。", "."})
    if (words.ends_with(stop)) words.resize(words.size() - stop.size());
  return (end.exitCode == 0 || end.exitCode == 1) &&
         std::ranges::find(kNothingFoundWords, std::string_view(words)) != std::end(kNothingFoundWords);
}

}  // namespace

Text QuotedProcessEnd(const ProcessEnd& end) {
  std::vector<Text> lines;
  bool more = false;
  for (std::size_t start = 0; start < end.errorOutput.size();) {
    std::size_t stop = end.errorOutput.find('\n', start);
    if (stop == Text::npos) stop = end.errorOutput.size();
    if (Text line = Trimmed(end.errorOutput.substr(start, stop - start), kQuotedLineCharacters);
        !line.empty()) {
      if (lines.size() == kQuotedLines) {
        more = true;
        break;
      }
      lines.push_back(std::move(line));
    }
    start = stop + 1;
  }
  if (more) lines.push_back("……");
  if (end.exitCode != 0) lines.push_back(FillMessage(texts::kExitCode, std::to_string(end.exitCode)));
  Text quoted;
  for (const Text& line : lines) quoted += (quoted.empty() ? "" : "\r") + line;
  return quoted;
}

Text FillMessage(std::string_view message, const Text& arg0, const Text& arg1) {
  Text filled;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message.substr(i, 3) == "{0}" || message.substr(i, 3) == "{1}") {
      filled += message[i + 1] == '0' ? arg0 : arg1;
      i += 2;
    } else {
      filled += message[i];
    }
  }
  return filled;
}

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

void frmMain::Unload() {
  const Text batchPath =
      writtenBatchPath_.value_or(platform_.window.ProgramFolder() + Text(texts::kBatchFileName));
  platform_.files.RemoveFile(batchPath);  // nothing to do when it is not there
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

// The program folder, unless it cannot be written or its path would break
// the batch file's quoted redirection or the launch command line: then the
// per-user folder, which must pass the same test.
std::optional<Text> frmMain::WorkFolder(Text& failure) {
  const Text programFolder = platform_.window.ProgramFolder();
  if (!HasForbiddenCharacter(programFolder) && platform_.files.CanCreateFilesIn(programFolder))
    return programFolder;
  const Text userFolder = platform_.window.UserWorkFolder();
  if (HasForbiddenCharacter(userFolder)) {
    failure = FillMessage(texts::kWorkFolderHasForbiddenCharacter, userFolder);
    return std::nullopt;
  }
  platform_.files.MakeFolders(userFolder);  // a failure shows when the batch file is written
  return userFolder;
}

frmMain::BatchFileOutcome frmMain::MakeBatchFile() {
  ReadListingStyleFromWindow();
  if (HasForbiddenCharacter(platform_.window.GetText(txtPath)))
    return {{}, Text(texts::kFolderHasForbiddenCharacter)};
  if (HasForbiddenCharacter(options_.strFilter)) return {{}, Text(texts::kPatternHasForbiddenCharacter)};

  Text failure;
  const auto workFolder = WorkFolder(failure);
  if (!workFolder) return {{}, failure};
  BatchFile batch{*workFolder,
                  *workFolder + Text(texts::kBatchFileName),
                  *workFolder + Text(texts::kListingFileName),
                  {}};
  const CodePage& codePage = platform_.codePage;
  // Nearly always the code page holds the folder, the pattern and the work
  // folder, and the batch file names them. When it does not, the names reach
  // cmd through the run's environment, never through the code page.
  auto bytes = codePage.Encode(BatchFileText(ListingCommand(options_, *workFolder)));
  if (!bytes) {
    ListOptions byName = options_;
    byName.strFolder = "%" + Text(texts::kFolderVariable) + "%";
    byName.strFilter = "%" + Text(texts::kPatternVariable) + "%";
    const Text workByName = "%" + Text(texts::kWorkFolderVariable) + "%";
    bytes = codePage.Encode(BatchFileText(ListingCommand(byName, workByName), PercentSigns::AreVariables));
    batch.environment = {{Text(texts::kFolderVariable), options_.strFolder},
                         {Text(texts::kPatternVariable), options_.strFilter},
                         {Text(texts::kWorkFolderVariable), *workFolder}};
  }
  if (!bytes) return {{}, FillMessage(texts::kBatchFileNotEncoded, codePage.Name())};
  // An old listing that stays would be shown as the new one: the run's
  // redirection fails on the same file.
  if (const FileResult removed = platform_.files.RemoveFile(batch.listingPath);
      !removed.ok && removed.failure != FileFailure::NotFound)
    return {{}, FillMessage(texts::kListingNotRemoved, batch.listingPath, removed.reason)};
  const FileResult written = platform_.files.WriteNewFile(batch.batchPath, *bytes);
  if (!written.ok)
    return {{},
            FillMessage(written.failure == FileFailure::NotARegularFile ? texts::kBatchFileNotRegular
                                                                        : texts::kBatchFileNotWritten,
                        batch.batchPath, written.reason)};
  writtenBatchPath_ = batch.batchPath;
  return {batch, {}};
}

// --- Output command --------------------------------------------------------

void frmMain::cmdOut_Click() {
  WindowRuntime& w = platform_.window;
  w.SetMousePointer(MousePointer::Hourglass);
  const BatchFileOutcome outcome = MakeBatchFile();
  if (!outcome.written) {
    w.SetMousePointer(MousePointer::Default);
    w.ShowMessage(outcome.failure, MessageStyle::Error);
    return;
  }
  const BatchFile& batch = *outcome.written;
  Launch run = w.LaunchProgram({Quoted(batch.batchPath),
                                WindowStyle::Hidden,
                                {Text(texts::kDirPresetVariable)},
                                batch.environment,
                                true,
                                batch.listingPath});
  ProcessEnd end;
  if (run.process) end = w.WaitWhilePainting(*run.process);
  w.SetMousePointer(MousePointer::Default);
  if (!run.process) return ShowError(texts::kBatchFileNotRun, batch.batchPath, run.failure);
  // cmd ends a batch file's "exit" with 0 whatever dir met: what it wrote to
  // its error stream tells a failed or cut-short listing.
  if (const Text words = QuotedProcessEnd(end); !words.empty()) {
    if (!platform_.files.FolderExists(options_.strFolder))
      return ShowError(texts::kListingFolderMissing, options_.strFolder);
    if (FoundNothing(end))
      return w.ShowMessage(FillMessage(texts::kListingFoundNothing, options_.strFolder, options_.strFilter),
                           MessageStyle::Information);
    return ShowError(texts::kListingNotCompleted, batch.listingPath, words);
  }
  if (!end.listingFailure.empty())
    return ShowError(texts::kListingNotConverted, batch.listingPath, end.listingFailure);
  if (const auto free = platform_.files.FreeBytesIn(batch.folder); free && *free < kFullDisk)
    return ShowError(texts::kListingDiskFull, batch.listingPath);
  if (!platform_.files.FileExists(batch.listingPath))
    return ShowError(texts::kListingMissing, batch.listingPath);

  w.ShowMessage(Text(texts::kNotice), MessageStyle::Information);
  Launch viewer =
      w.LaunchProgram({Text(texts::kViewer) + Quoted(batch.listingPath), WindowStyle::NormalWithFocus, {}});
  if (!viewer.process) ShowError(texts::kViewerNotStarted, batch.listingPath, viewer.failure);
}

void frmMain::ShowError(std::string_view message, const Text& arg0, const Text& arg1) {
  platform_.window.ShowMessage(FillMessage(message, arg0, arg1), MessageStyle::Error);
}

// --- Shell services and exit -------------------------------------------------

void frmMain::cmdBrowse_Click() {
  const Text folder =
      Module1::BrowseForFolder(platform_.shell, platform_.window.FormHandle(), Text(texts::kFolderPrompt));
  if (!folder.empty()) platform_.window.SetText(txtPath, folder);  // cancel keeps the field
}

void frmMain::cmdAbout_Click() {
  frmAbout::ShowAbout(platform_);
}

void frmMain::cmdHelp_Click() {
  const Text helpPage = platform_.window.ProgramFolder() + Text(texts::kHelpFileName);
  Launch help = platform_.window.LaunchProgram(
      {Text(texts::kFileManager) + Quoted(helpPage), WindowStyle::NormalWithFocus, {}});
  if (!help.process) ShowError(texts::kHelpNotStarted, helpPage, help.failure);
}

void frmMain::cmdExit_Click() {
  platform_.window.CloseForm();
}

int RunQuernel(const Platform& platform, const StartUp& startUp) {
  frmMain form(platform, startUp);
  if (const auto failure = platform.window.CreateForm(form)) {
    platform.window.ShowMessage(FillMessage(texts::kWindowNotCreated, *failure), MessageStyle::Error);
    return 1;
  }
  form.Load();
  platform.window.ShowForm();
  platform.window.RunUntilClosed();
  form.Unload();
  return 0;
}

}  // namespace quernel
