#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace quernel::fake {
namespace {

namespace fs = std::filesystem;

std::string PointerNumber(MousePointer p) {
  return std::to_string(static_cast<int>(p));
}

class FakeProcess final : public Process {
 public:
  explicit FakeProcess(ProcessEnd end) : end_(std::move(end)) {}
  const ProcessEnd& End() const { return end_; }

 private:
  ProcessEnd end_;
};

Text ToText(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return Text(utf8.begin(), utf8.end());
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// The existing file whose name differs only in case, or the path unchanged.
fs::path FindIgnoringCase(const fs::path& path) {
  std::error_code error;
  if (fs::exists(path, error)) return path;
  for (const auto& entry : fs::directory_iterator(path.parent_path(), error))
    if (EqualIgnoringAsciiCase(entry.path().filename().string(), path.filename().string()))
      return entry.path();
  return path;
}

}  // namespace

// --- FakeWindowRuntime --------------------------------------------------------

FakeWindowRuntime::FakeWindowRuntime(Journal& journal, Text programFolder, Text userWorkFolder)
    : journal_(journal),
      programFolder_(std::move(programFolder)),
      userWorkFolder_(std::move(userWorkFolder)) {}

std::unique_ptr<Process> FakeWindowRuntime::Started(ProcessEnd end) {
  return std::make_unique<FakeProcess>(std::move(end));
}

std::optional<Text> FakeWindowRuntime::CreateForm(FormEvents& events) {
  if (createFailure) {
    journal_.push_back("create failed");
    return createFailure;
  }
  events_ = &events;
  controls_.clear();
  for (const ControlDesign& design : ControlDesigns())
    controls_[design.id] = ControlState{design.kind, {}, design.value, -1, {}, design.enabled, 0};
  for (const LineDesign& line : LineDesigns())
    controls_[line.id] = ControlState{ControlKind::Line, {}, 0, -1, {}, true, 0};
  journal_.push_back("create");
  return std::nullopt;
}

void FakeWindowRuntime::ShowForm() {
  shown_ = true;
  focus_ = FocusOrder().front();
  journal_.push_back("show");
}

void FakeWindowRuntime::RunUntilClosed() {
  if (userSession) userSession(*this);
  closed_ = true;
}

void FakeWindowRuntime::CloseForm() {
  closed_ = true;
  journal_.push_back("close");
}

ControlState& FakeWindowRuntime::Mutable(ControlId control) {
  auto it = controls_.find(control);
  if (it == controls_.end()) std::abort();  // the form was not created
  return it->second;
}

const ControlState& FakeWindowRuntime::State(ControlId control) const {
  return const_cast<FakeWindowRuntime*>(this)->Mutable(control);
}

void FakeWindowRuntime::RaiseClick(ControlId control) {
  if (events_) events_->Click(control);
}

Text FakeWindowRuntime::GetText(ControlId control) const {
  const ControlState& state = State(control);
  if (state.kind == ControlKind::PickList)
    return state.listIndex >= 0 ? state.items[static_cast<std::size_t>(state.listIndex)] : Text();
  return state.text;
}

void FakeWindowRuntime::SetText(ControlId control, const Text& text) {
  Mutable(control).text = text;
}

int FakeWindowRuntime::GetValue(ControlId control) const {
  return State(control).value;
}

void FakeWindowRuntime::SetValue(ControlId control, int value) {
  ControlState& state = Mutable(control);
  if (state.value == value) return;
  state.value = value;
  if (state.kind == ControlKind::OptionButton && value == 1) {
    const auto container = DesignOf(control).container;
    for (const ControlDesign& other : ControlDesigns())
      if (other.kind == ControlKind::OptionButton && other.id != control && other.container == container)
        Mutable(other.id).value = 0;
  }
  RaiseClick(control);
}

int FakeWindowRuntime::GetListIndex(ControlId control) const {
  return State(control).listIndex;
}

void FakeWindowRuntime::SetListIndex(ControlId control, int index) {
  ControlState& state = Mutable(control);
  if (state.listIndex == index) return;
  state.listIndex = index;
  state.text = index >= 0 ? state.items.at(static_cast<std::size_t>(index)) : Text();
  RaiseClick(control);
}

void FakeWindowRuntime::AddItem(ControlId control, const Text& entry) {
  Mutable(control).items.push_back(entry);
}

bool FakeWindowRuntime::IsEnabled(ControlId control) const {
  return State(control).enabled;
}

void FakeWindowRuntime::SetEnabled(ControlId control, bool enabled) {
  Mutable(control).enabled = enabled;
}

void FakeWindowRuntime::SetFontSize(ControlId control, double points) {
  Mutable(control).fontSize = points;
  fontSizeOrder_.push_back(control);
}

void FakeWindowRuntime::SetMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  journal_.push_back("pointer " + PointerNumber(pointer));
}

void FakeWindowRuntime::ShowMessage(const Text& prompt, MessageStyle style) {
  messages_.push_back({prompt, style});
  journal_.push_back("message " + std::to_string(static_cast<int>(style)) + " " + prompt);
}

Launch FakeWindowRuntime::LaunchProgram(const LaunchRequest& request) {
  launches_.push_back(request);
  journal_.push_back("launch " + std::to_string(static_cast<int>(request.style)) + " " + request.commandLine);
  if (onLaunch) return onLaunch(request);
  return {Started(), {}};
}

ProcessEnd FakeWindowRuntime::WaitWhilePainting(Process& process) {
  journal_.push_back("wait");
  const auto* fake = dynamic_cast<const FakeProcess*>(&process);
  return fake ? fake->End() : ProcessEnd{};
}

void FakeWindowRuntime::UserClick(ControlId control) {
  ControlState& state = Mutable(control);
  if (!state.enabled) return;
  switch (state.kind) {
    case ControlKind::CheckBox:
      state.value = state.value == 1 ? 0 : 1;
      break;
    case ControlKind::OptionButton:
      if (state.value == 1) break;
      SetValue(control, 1);  // raises Click
      return;
    default:
      break;
  }
  RaiseClick(control);
}

void FakeWindowRuntime::UserPick(ControlId list, int index) {
  ControlState& state = Mutable(list);
  state.listIndex = index;
  state.text = state.items.at(static_cast<std::size_t>(index));
  RaiseClick(list);
}

void FakeWindowRuntime::UserType(ControlId control, const Text& text) {
  ControlState& state = Mutable(control);
  state.text = text;
  if (state.kind == ControlKind::EditableList) state.listIndex = -1;
}

// --- FakeFileSystem -----------------------------------------------------------

fs::path FakeFileSystem::HostPath(const Text& path) {
  Text host = path;
  std::replace(host.begin(), host.end(), '\\', '/');
  return FindIgnoringCase(fs::path(std::u8string(host.begin(), host.end())));
}

Text FakeFileSystem::ReadBytes(const Text& path) {
  std::ifstream in(HostPath(path), std::ios::binary);
  return Text(std::istreambuf_iterator<char>(in), {});
}

bool FakeFileSystem::IsReadOnlyFolder(const Text& folder) const {
  const fs::path host = fs::path(HostPath(folder)).lexically_normal();
  return std::any_of(readOnlyFolders.begin(), readOnlyFolders.end(),
                     [&](const Text& f) { return HostPath(f).lexically_normal() == host; });
}

FileResult FakeFileSystem::RemoveFile(const Text& path) {
  journal_.push_back("remove " + path);
  const fs::path host = HostPath(path);
  std::error_code error;
  const fs::file_status status = fs::symlink_status(host, error);
  if (!fs::exists(status)) return FileResult::Failure("No such file or directory", FileFailure::NotFound);
  if (fs::is_directory(status)) return FileResult::Failure("Is a directory");
  if (!fs::remove(host, error)) return FileResult::Failure(error.message());
  return FileResult::Success();
}

FileResult FakeFileSystem::WriteNewFile(const Text& path, std::string_view bytes) {
  journal_.push_back("write " + path);
  const fs::path host = HostPath(path);
  std::error_code error;
  if (const fs::file_status there = fs::symlink_status(host, error);
      fs::exists(there) && !fs::is_regular_file(there))
    return FileResult::Failure("Not a regular file", FileFailure::NotARegularFile);
  if (IsReadOnlyFolder(ToText(host.parent_path()))) return FileResult::Failure("Permission denied");
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (!out) return FileResult::Failure("No such file or directory");
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? FileResult::Success() : FileResult::Failure("Input/output error");
}

bool FakeFileSystem::FileExists(const Text& path) const {
  std::error_code error;
  return fs::is_regular_file(HostPath(path), error);
}

bool FakeFileSystem::FolderExists(const Text& path) const {
  std::error_code error;
  return fs::is_directory(HostPath(path), error);
}

bool FakeFileSystem::CanCreateFilesIn(const Text& folder) const {
  std::error_code error;
  return fs::is_directory(HostPath(folder), error) && !IsReadOnlyFolder(folder);
}

FileResult FakeFileSystem::MakeFolders(const Text& folder) {
  journal_.push_back("make folders " + folder);
  std::error_code error;
  fs::create_directories(HostPath(folder), error);
  return error ? FileResult::Failure(error.message()) : FileResult::Success();
}

std::optional<Text> FakeFileSystem::ShortPathOf(const Text& path) const {
  Text trimmed = path;
  if (trimmed.size() > 1 && trimmed.back() == '\\') trimmed.pop_back();
  if (auto it = shortPaths.find(trimmed); it != shortPaths.end()) return it->second;
  return std::nullopt;
}

// --- FakeShellDialogs -----------------------------------------------------------

Text FakeShellDialogs::PickFolder(NativeHandle owner, const Text& prompt) {
  pickerRequests.push_back({owner, prompt});
  journal_.push_back("pick folder " + prompt);
  if (folderAnswers.empty()) return {};
  Text answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

void FakeShellDialogs::ShowAboutBox(NativeHandle owner, const Text& appName, const Text& otherText,
                                    NativeHandle icon) {
  aboutBoxes.push_back({owner, appName, otherText, icon});
  journal_.push_back("about " + appName);
}

// --- FakeCodePage ---------------------------------------------------------------

std::optional<std::string> FakeCodePage::Encode(const Text& text) const {
  if (!refusedWhenContaining.empty() && text.find(refusedWhenContaining) != Text::npos) return std::nullopt;
  if (kind == Kind::Utf8) return text;
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      bytes += text[i];
    } else if ((lead & 0xE0) == 0xC0 && lead <= 0xC3 && i + 1 < text.size()) {
      const auto trail = static_cast<unsigned char>(text[++i]);
      bytes += static_cast<char>(((lead & 0x03) << 6) | (trail & 0x3F));
    } else {
      return std::nullopt;  // beyond U+00FF
    }
  }
  return bytes;
}

// --- FakePlatform ---------------------------------------------------------------

Text FakePlatform::MakeRoot() {
  std::random_device random;
  const fs::path root = fs::temp_directory_path() / ("quernel-fake-" + std::to_string(random()));
  fs::create_directories(root / "program");
  return ToText(root);
}

FakePlatform::FakePlatform()
    : root_(MakeRoot()),
      window(journal, root_ + "/program", root_ + "/user-work"),
      files(journal),
      shell(journal) {}

FakePlatform::~FakePlatform() {
  std::error_code error;
  fs::remove_all(FakeFileSystem::HostPath(root_), error);
}

void FakePlatform::SimulateInterpreter(Text listing, ProcessEnd end) {
  window.onLaunch = [listing, end](const LaunchRequest& request) -> Launch {
    const Text& line = request.commandLine;
    const std::string suffix = "\\path.bat\"";
    if (line.size() > suffix.size() && line.ends_with(suffix)) {
      const Text folder = line.substr(1, line.size() - suffix.size() - 1);
      std::ofstream(FakeFileSystem::HostPath(folder + "\\Path.txt"), std::ios::binary) << listing;
      return {FakeWindowRuntime::Started(end), {}};
    }
    return {FakeWindowRuntime::Started(), {}};
  };
}

}  // namespace quernel::fake
