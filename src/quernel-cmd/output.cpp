#include "output.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "text.hpp"

namespace quernel::cmd {

namespace {

constexpr std::size_t flush_threshold = 1U << 16U;

bool exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

DescriptorSink::DescriptorSink(int fd, Charset& charset, bool owns_fd)
    : fd_(fd), charset_(charset), owns_fd_(owns_fd) {}

DescriptorSink::~DescriptorSink() {
  flush();
  if (owns_fd_) close(fd_);
}

void DescriptorSink::write(std::string_view utf8) {
  pending_ += utf8;
  if (pending_.size() >= flush_threshold) flush();
}

void DescriptorSink::flush() {
  if (pending_.empty()) return;
  charset_.from_utf8(pending_, encoded_);
  pending_.clear();
  std::string_view rest = encoded_;
  while (!rest.empty() && !failed_) {
    const ssize_t written = ::write(fd_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      break;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string resolve_windows_file_name(std::string_view native_path) {
  std::string path(native_path);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (exists(path)) return path;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return path;
  while (const dirent* item = readdir(dir.get())) {
    if (iequals_ascii(item->d_name, name))
      return slash == std::string::npos ? std::string(item->d_name)
                                        : path.substr(0, slash + 1) + item->d_name;
  }
  return path;
}

}  // namespace quernel::cmd
