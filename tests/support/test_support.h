#pragma once

// What the test suites share.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/temp_folder.h"
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

class TempFolder : public quernel::TempFolder {
 public:
  using quernel::TempFolder::TempFolder;
  std::string Read(const std::string& relative) const { return ReadBytes(Path() / relative); }
  void Write(const std::string& relative, std::string_view bytes) const {
    WriteBytes(Path() / relative, bytes);
  }
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
