// quernel-cmd's batch runner on any batch text, in a folder of its own. It
// must not crash or hang (libFuzzer's -timeout), must run nothing but dir
// and exit, and must write only where a line redirects: no more targets
// opened than dir commands with a ">", and no file changed but those. Targets
// outside the folder are refused, so a run never touches the machine.
// Input: one byte (bit 0: Chinese messages, bit 1: GBK), then the batch file.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/ascii.h"
#include "quernel-cmd/batch.h"
#include "quernel-cmd/text.h"

namespace {

namespace fs = std::filesystem;
using namespace quernel::cmd;
using quernel::EqualIgnoringAsciiCase;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "batch runner: %s: %s\n", what, detail.c_str());
  std::abort();
}

// The current folder of every run: a few files and folders, all empty.
struct Sandbox {
  fs::path root;

  Sandbox() {
    std::string pattern = "/tmp/quernel-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Fail("mkdtemp", pattern);
    root = pattern;
    for (const char* folder : {"music", "100%", "out", "音乐", "\xD2\xF4\xC0\xD6"})
      fs::create_directories(root / folder);
    for (const char* file : {"a.txt", "B.TXT", "music/x.mp3", "100%/y.txt", "音乐/歌.mp3", "out/path.txt"})
      std::ofstream(root / file).flush();
    if (chdir(root.c_str()) != 0) Fail("chdir", root.string());
  }

  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  bool Contains(const std::string& path) const {
    const fs::path full = (path.starts_with('/') ? fs::path(path) : root / path).lexically_normal();
    const auto [end, ignored] = std::mismatch(root.begin(), root.end(), full.begin(), full.end());
    return end == root.end() && full != root;
  }
};

struct FileState {
  std::uintmax_t size;
  fs::file_time_type modified;
  bool operator==(const FileState&) const = default;
};

std::map<fs::path, FileState> Snapshot(const fs::path& root) {
  std::map<fs::path, FileState> files;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(root, error))
    if (entry.is_regular_file(error))
      files[entry.path()] = {entry.file_size(error), entry.last_write_time(error)};
  return files;
}

// Lines that may write: after their variables are expanded, a ">" and the
// word dir somewhere (a redirection may come first, and quotes may split the
// command's name, as in >out D""IR). Lines are read as the runner reads
// them: a NUL ends a line, and CRs go once the variables are expanded.
std::size_t DirLinesWithRedirection(std::string_view text, const EnvironmentLookup& lookup,
                                    std::string_view batch_path) {
  std::size_t lines = 0;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view raw = text.substr(start, end - start);
    std::string line = ExpandPercents(raw.substr(0, raw.find('\0')), lookup, batch_path);
    std::erase(line, '"');
    std::erase(line, '\r');
    if (line.find('>') != std::string::npos && ToLower(line).find("dir") != std::string::npos) ++lines;
    start = end + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Sandbox sandbox_at_exit_removed;
  const Sandbox* sandbox = &sandbox_at_exit_removed;
  static Charset* utf8 = new Charset("UTF-8");
  static Charset* gbk = new Charset("GBK");
  if (size == 0) return 0;
  const LocaleSettings locale{(data[0] & 2U) != 0 ? "GBK" : "UTF-8",
                              (data[0] & 1U) != 0 ? Language::Chinese : Language::English, ""};
  Charset& charset = (data[0] & 2U) != 0 ? *gbk : *utf8;
  const std::string_view batch(reinterpret_cast<const char*>(data + 1), size - 1);

  StringSink out;
  StringSink err;
  std::vector<std::string> opened;
  const EnvironmentLookup lookup = [](std::string_view name) -> std::optional<std::string> {
    if (EqualIgnoringAsciiCase(name, "DATA")) return std::string("music");
    if (EqualIgnoringAsciiCase(name, "EMPTY")) return std::string();
    return std::nullopt;
  };
  const std::string batch_path = "C:\\quernel\\path.bat";
  BatchContext context{
      locale, charset, charset, lookup, out, err, batch_path, [&](const std::string& path, int flags) {
        opened.push_back(path);
        if (!sandbox->Contains(path)) {
          errno = EACCES;
          return -1;
        }
        return OpenTarget(path, flags);
      }};
  const auto before = Snapshot(sandbox->root);
  RunBatch(charset.ToUtf8(batch), context);
  const auto after = Snapshot(sandbox->root);

  const std::string text = charset.ToUtf8(batch);
  if (opened.size() > DirLinesWithRedirection(text, lookup, batch_path))
    Fail("more files opened for writing than dir commands redirect", text);
  std::set<fs::path> targets;
  for (const std::string& path : opened)
    targets.insert((path.starts_with('/') ? fs::path(path) : sandbox->root / path).lexically_normal());
  for (const auto& [path, state] : after) {
    const auto old = before.find(path);
    if ((old == before.end() || !(old->second == state)) && !targets.contains(path))
      Fail("a file changed that no line redirects to", path.string());
  }
  for (const auto& [path, state] : before)
    if (!after.contains(path)) Fail("a file vanished", path.string());

  // Back to the start: what the run made goes, what it wrote is emptied.
  std::error_code error;
  for (const auto& [path, state] : after) {
    if (!before.contains(path))
      fs::remove(path, error);
    else if (state.size != 0)
      fs::resize_file(path, 0, error);
  }
  return 0;
}
