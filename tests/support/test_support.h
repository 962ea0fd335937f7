#pragma once

// What the test suites share: a temporary folder, whole-file reads and
// writes, and a recorder of what a window raises.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_runtime.h"

namespace quernel::testing {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::error_code ignored;
  fs::create_directories(path.parent_path(), ignored);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with all it holds, read-only or not, when the
// object goes.
class TempFolder {
 public:
  explicit TempFolder(const fs::path& base = fs::temp_directory_path())
      : path_(base / ("quernel-test-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::recursive_directory_iterator it(path_, ignored), end; !ignored && it != end;
         it.increment(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& Path() const { return path_; }
  Text Name() const {
    const std::u8string name = path_.u8string();
    return {name.begin(), name.end()};
  }
  std::string Read(const std::string& relative) const { return ReadBytes(path_ / relative); }
  void Write(const std::string& relative, std::string_view bytes) const {
    WriteBytes(path_ / relative, bytes);
  }

 private:
  fs::path path_;
};

// The Clicks and drops a window raises, in order.
struct RecordingEvents final : FormEvents {
  void Click(ControlId control) override {
    clicks.push_back(control);
    if (onClick) onClick(control);
  }
  bool CanDrop(const std::vector<Text>& paths) override {
    offered.push_back(paths);
    return takesDrops;
  }
  void Drop(const std::vector<Text>& paths) override { dropped.push_back(paths); }

  std::vector<ControlId> clicks;
  std::function<void(ControlId)> onClick;
  std::vector<std::vector<Text>> offered, dropped;
  bool takesDrops = true;
};

#ifdef _WIN32
// A path the build compiled in, as the test program opens it: on Linux,
// where the tests run under Wine, "/a/b" is "Z:\a\b".
inline std::wstring HostPath(const char* path) {
  std::wstring wide;
  for (const char* c = path; *c; ++c)
    wide += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return path[0] == '/' ? L"Z:" + wide : wide;
}
#endif

}  // namespace quernel::testing
