#include "quernel-cmd/output.h"

#include <unistd.h>

#include <cerrno>

namespace quernel::cmd {

namespace {

constexpr std::size_t flush_threshold = 1U << 16U;

}  // namespace

DescriptorSink::DescriptorSink(int fd, Charset& charset, bool owns_fd)
    : fd_(fd), charset_(charset), owns_fd_(owns_fd) {}

DescriptorSink::~DescriptorSink() {
  Flush();
  if (owns_fd_) close(fd_);
}

void DescriptorSink::Write(std::string_view utf8) {
  pending_ += utf8;
  if (pending_.size() >= flush_threshold) Flush();
}

void DescriptorSink::Flush() {
  if (pending_.empty()) return;
  charset_.FromUtf8(pending_, encoded_);
  pending_.clear();
  std::string_view rest = encoded_;
  while (!rest.empty() && !failed_) {
    const ssize_t written = ::write(fd_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      error_number_ = written < 0 ? errno : ENOSPC;
      break;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace quernel::cmd
