#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/path_case.h"
#include "base/path_text.h"
#include "platform/posix/locale_charset.h"

namespace quernel::posix {
namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string HostPath(const Text& path) {
  return WithSlashes(path);
}

void SettleListingName(const Text& listing) {
  if (listing.empty()) return;
  const std::string exact = HostPath(listing);
  struct stat info {};
  if (lstat(exact.c_str(), &info) == 0) return;
  const std::string found = ResolveIgnoringCase(exact);
  if (found != exact) std::rename(found.c_str(), exact.c_str());
}

Text SystemReason(int error) {
  static const LocaleHandle userLocale("");
  static const LocaleHandle plain("C");
  const LocaleHandle& locale = userLocale.Valid() ? userLocale : plain;
  const std::string described = strerror_l(error, locale.Get());
  if (auto utf8 = ConvertCharset(described, locale.Charset(), "UTF-8")) return *utf8;
  return strerror_l(error, plain.Get());
}

FileResult PosixFileSystem::RemoveFile(const Text& path) {
  // unlink needs only the folder's permission: read-only files go as well.
  if (unlink(HostPath(path).c_str()) != 0) {
    const int error = errno;
    return Fail(FileError{SystemReason(error),
                          error == ENOENT || error == ENOTDIR ? FileFailure::NotFound : FileFailure::Other});
  }
  return {};
}

FileFailure WriteFailure(int error) {
  if (error == ENOSPC || error == EDQUOT) return FileFailure::DiskFull;
  // Something the name could not be taken from: a folder, or what came
  // between the unlink and the exclusive create.
  if (error == EISDIR || error == EEXIST || error == ELOOP) return FileFailure::NotARegularFile;
  return FileFailure::Other;
}

// The old name goes first: unlinking a symbolic link, a FIFO or one name of
// a hard link never touches what it points to or shares its content with.
// The new file is then created exclusively (O_EXCL), not followed through a
// link that appeared meanwhile (O_NOFOLLOW).
FileResult PosixFileSystem::WriteNewFile(const Text& path, std::string_view bytes) {
  const std::string host = HostPath(path);
  if (unlink(host.c_str()) != 0 && errno != ENOENT) {
    const int error = errno;
    return Fail(FileError{SystemReason(error), WriteFailure(error)});
  }
  const int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    return Fail(FileError{SystemReason(error), WriteFailure(error)});
  }
  if (!WriteAll(fd, bytes) || close(fd) != 0) {
    const int error = errno;
    unlink(host.c_str());  // never half a file
    return Fail(FileError{SystemReason(error), WriteFailure(error)});
  }
  return {};
}

bool PosixFileSystem::FileExists(const Text& path) const {
  struct stat info {};
  return stat(HostPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixFileSystem::FolderExists(const Text& path) const {
  struct stat info {};
  return stat(HostPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// access() answers from the file modes, which root passes regardless; a
// read-only mount refuses even root, so a file is really made and removed.
bool PosixFileSystem::CanCreateFilesIn(const Text& folder) const {
  const std::string host = HostPath(folder);
  struct stat info {};
  if (stat(host.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  if (access(host.c_str(), W_OK | X_OK) != 0) return false;
  std::string probe = (host.ends_with('/') ? host : host + '/') + ".quernel-probe-XXXXXX";
  const int fd = mkstemp(probe.data());
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

std::optional<std::uint64_t> PosixFileSystem::FreeBytesIn(const Text& folder) const {
  struct statvfs disk {};
  if (statvfs(HostPath(folder).c_str(), &disk) != 0) return std::nullopt;
  return std::uint64_t{disk.f_bavail} * disk.f_frsize;
}

FileResult PosixFileSystem::MakeFolders(const Text& folder) {
  std::error_code error;
  fs::create_directories(HostPath(folder), error);
  if (error) return Fail(FileError{SystemReason(error.value())});
  return {};
}

}  // namespace quernel::posix
