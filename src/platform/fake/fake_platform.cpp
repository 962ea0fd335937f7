#include "platform/fake/fake_platform.h"

#include <fstream>
#include <iterator>

#include "base/path_text.h"

namespace quernel::fake {
namespace fs = std::filesystem;
Result<void> FakeWindowRuntime::CreateForm(FormEvents& events) {
  if (createFailure) return Fail(*createFailure);
  events_ = &events;
  controls_.clear();
  for (const ControlDesign& design : ControlDesigns())
    controls_[design.id] = ControlState{design.kind, {}, design.value, -1, {}, design.enabled};
  for (const LineDesign& line : LineDesigns()) controls_[line.id].kind = ControlKind::Line;
  return {};
}

void FakeWindowRuntime::SetValue(ControlId control, int value) {
  ControlState& state = State(control);
  if (state.value == value) return;
  state.value = value;
  if (state.kind == ControlKind::OptionButton && value == 1)
    for (const ControlDesign& other : ControlDesigns())
      if (other.kind == ControlKind::OptionButton && other.id != control &&
          other.container == DesignOf(control).container)
        State(other.id).value = 0;
  RaiseClick(control);
}

void FakeWindowRuntime::SetListIndex(ControlId control, int index) {
  ControlState& state = State(control);
  if (state.listIndex == index) return;
  state.listIndex = index;
  state.text = index >= 0 ? state.items.at(static_cast<std::size_t>(index)) : Text();
  RaiseClick(control);
}

void FakeWindowRuntime::SetMousePointer(MousePointer p) {
  pointer = p;
  journal_.push_back("pointer " + std::to_string(static_cast<int>(p)));
}

void FakeWindowRuntime::ShowMessage(const Text& prompt, MessageStyle style) {
  messages.push_back({prompt, style});
  journal_.push_back("message " + std::to_string(static_cast<int>(style)) + " " + prompt);
}

bool FakeWindowRuntime::Ask(const Text& prompt) {
  journal_.push_back("ask " + prompt + (answer ? " yes" : " no"));
  return answer;
}

namespace {

// A lock that says in the journal when it goes.
struct FakeLock final : FolderLock {
  std::function<void()> release;
  ~FakeLock() override { release(); }
};

}  // namespace

std::unique_ptr<FolderLock> FakeWindowRuntime::LockFolder(const Text& folder,
                                                          std::chrono::milliseconds patience) {
  journal_.push_back("lock " + folder + " " + std::to_string(patience.count()));
  if (lockedElsewhere.contains(folder) || !heldLocks_.insert(folder).second) return nullptr;
  auto lock = std::make_unique<FakeLock>();
  lock->release = [this, folder] { heldLocks_.erase(folder), journal_.push_back("unlock " + folder); };
  return lock;
}

// The journal holds the command lines Windows runs for each request.
Result<RunEnd> FakeWindowRuntime::RunListing(const ListingRun& run, const std::function<bool()>& stopWanted) {
  runs.push_back(run);
  journal_.push_back("launch 0 \"" + run.batchFile + "\"");
  auto end = onRun ? onRun(run) : Result<RunEnd>();
  if (!end) return end;
  journal_.push_back("wait");
  for (; stopTries > 0; --stopTries)
    if (stopWanted()) {
      journal_.push_back("stop");
      return RunEnd{1, {}, {}, true};
    }
  return end;
}

Result<void> FakeWindowRuntime::Open(std::string_view program, const Text& file) {
  journal_.push_back("launch 1 " + Text(program) + "\"" + file + "\"");
  if (openRefusal.empty()) return {};
  return Fail(openRefusal);
}

void FakeWindowRuntime::UserClick(ControlId control) {
  const ControlState& state = State(control);
  if (!state.enabled) return;
  if (state.kind != ControlKind::CheckBox && state.kind != ControlKind::OptionButton)
    return RaiseClick(control);
  SetValue(control, state.kind == ControlKind::CheckBox && state.value == 1 ? 0 : 1);  // raises Click
}

void FakeWindowRuntime::UserPick(ControlId list, int index) {
  State(list).listIndex = -1;  // picking the entry shown raises Click too
  SetListIndex(list, index);
}

void FakeWindowRuntime::UserType(ControlId control, const Text& text) {
  ControlState& state = State(control);
  state.text = text;
  if (state.kind == ControlKind::EditableList) state.listIndex = -1;
}

fs::file_status FakeFileSystem::Status(const Text& path) {
  std::error_code ignored;
  return fs::status(HostPath(path), ignored);
}

fs::path FakeFileSystem::HostPath(const Text& path) {
  const Text host = WithSlashes(path);
  return fs::path(std::u8string(host.begin(), host.end()));
}

Text FakeFileSystem::ReadBytes(const Text& path) {
  std::ifstream in(HostPath(path), std::ios::binary);
  return Text(std::istreambuf_iterator<char>(in), {});
}

FileResult FakeFileSystem::RemoveFile(const Text& path) {
  journal_.push_back("remove " + path);
  std::error_code error;
  const fs::file_status status = fs::symlink_status(HostPath(path), error);
  if (!fs::exists(status)) return Fail(FileError{"No such file or directory", FileFailure::NotFound});
  if (fs::is_directory(status)) return Fail(FileError{"Is a directory"});
  if (!fs::remove(HostPath(path), error)) return Fail(FileError{error.message()});
  return {};
}

FileResult FakeFileSystem::WriteNewFile(const Text& path, std::string_view bytes) {
  journal_.push_back("write " + path);
  const fs::path host = HostPath(path);
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(host, error)))
    return Fail(FileError{"Is a directory", FileFailure::NotARegularFile});
  if (IsReadOnly(host.parent_path())) return Fail(FileError{"Permission denied"});
  if (fullFolders.contains(host.parent_path().lexically_normal().string()))
    return Fail(FileError{"No space left on device", FileFailure::DiskFull});
  fs::remove(host, error);  // the name only, as a link or one of several names
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (!out) return Fail(FileError{"No such file or directory"});
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return {};
}

FileResult FakeFileSystem::MakeFolders(const Text& folder) {
  journal_.push_back("make folders " + folder);
  std::error_code error;
  fs::create_directories(HostPath(folder), error);
  return error ? Fail(FileError{error.message()}) : FileResult{};
}

std::optional<std::string> FakeCodePage::Encode(const Text& text) const {
  if (!refusedWhenContaining.empty() && text.find(refusedWhenContaining) != Text::npos) return std::nullopt;
  if (utf8) return text;
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0x80 && (lead < 0xC2 || lead > 0xC3 || i + 1 == text.size()))
      return std::nullopt;  // beyond U+00FF
    bytes += lead < 0x80 ? text[i] : static_cast<char>(((lead & 0x03) << 6) | (text[++i] & 0x3F));
  }
  return bytes;
}

FakePlatform::FakePlatform() : window(journal, Root() + "/program", Root() + "/user-work"), files(journal) {
  fs::create_directories(FakeFileSystem::HostPath(Root() + "/program"));
}

void FakePlatform::SimulateInterpreter(Text listing, RunEnd end) {
  window.onRun = [listing, end](const ListingRun& run) -> Result<RunEnd> {
    std::ofstream(FakeFileSystem::HostPath(run.listing), std::ios::binary) << listing;
    return end;
  };
}

}  // namespace quernel::fake
