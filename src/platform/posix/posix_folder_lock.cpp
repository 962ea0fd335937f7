#include "platform/posix/posix_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_file_system.h"

namespace quernel::posix {
namespace {

class PosixFolderLock final : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override {
    if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
  }
  PosixFolderLock(const PosixFolderLock&) = delete;
  PosixFolderLock& operator=(const PosixFolderLock&) = delete;

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<FolderLock> TryToLockFolder(const Text& folder) {
  const int fd = open(HostPath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that cannot be opened for reading (mode -wx) cannot be locked
  // by anyone: the work goes on there unguarded rather than not at all.
  if (fd < 0) return std::make_unique<PosixFolderLock>(-1);
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return std::make_unique<PosixFolderLock>(fd);
  close(fd);
  return nullptr;
}

}  // namespace quernel::posix
