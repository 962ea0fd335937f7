#include "quernel-cmd/scan.h"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "base/path_case.h"
#include "base/path_text.h"
#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Whether the folder's index tells what the entry is (a link's target may
// be a folder or not).
bool TypeIsFinal(unsigned char type) {
  return type != DT_UNKNOWN && type != DT_LNK;
}

// What can be told of an entry without its details: whether it is a
// folder (and so whether it has the archive attribute) when the folder's
// index says so, and hidden or system always, for they come from the name.
std::uint8_t BitsKnownFromType(unsigned char type) {
  const std::uint8_t from_name = attribute::hidden | attribute::system;
  return TypeIsFinal(type) ? static_cast<std::uint8_t>(from_name | attribute::directory | attribute::archive)
                           : from_name;
}

std::uint8_t AttributesFromNameAndType(std::string_view name, unsigned char type) {
  std::uint8_t attributes = type == DT_DIR ? attribute::directory : 0;
  if (type == DT_REG) attributes |= attribute::archive;
  if (name.starts_with('.') && !IsDotEntry(name)) attributes |= attribute::hidden;
  return attributes;
}

// The entry's details; a symbolic link that leads nowhere is described
// itself. "." is the open folder, ".." its parent by name: both are read
// without searching the folder, which its mode may forbid.
int StatEntry(int folder_fd, const std::string& folder, std::string_view name, struct stat& info) {
  if (name == ".") return fstat(folder_fd, &info) == 0 ? 0 : errno;
  if (name == "..") {
    const std::size_t slash = folder.find_last_of('/');
    const std::string parent = slash == std::string::npos || slash == 0 ? "/" : folder.substr(0, slash);
    return stat(parent.c_str(), &info) == 0 ? 0 : errno;
  }
  const std::string terminated(name);
  if (fstatat(folder_fd, terminated.c_str(), &info, 0) == 0) return 0;
  if (fstatat(folder_fd, terminated.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) return 0;
  return errno;
}

std::string Joined(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  return folder.ends_with('/') ? folder + std::string(name) : folder + "/" + std::string(name);
}

}  // namespace

std::string HostPath(std::string_view utf8_path, Charset& charset) {
  const std::string path = WithSlashes(utf8_path);
  if (charset.IsUtf8()) return ResolveIgnoringCase(path);
  return ResolveIgnoringCase(charset.FromUtf8(path),
                             [&](std::string_view name) { return charset.ToUtf8(name); });
}

std::string NormalizePath(std::string_view path, std::string_view cwd) {
  const bool absolute = !path.empty() && IsPathSeparator(path[0]);
  return JoinedPath(absolute ? "/" : std::string(cwd), path, '/');
}

ListingTarget ResolveTarget(std::string_view path_argument, std::string_view cwd,
                            const std::function<bool(const std::string&)>& is_directory) {
  const std::string path = WithSlashes(path_argument);
  const std::string whole = NormalizePath(path, cwd);
  if (path.empty() || is_directory(whole)) return {whole, "*"};
  const std::size_t slash = path.rfind('/');
  const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  return {NormalizePath(folder, cwd), pattern.empty() ? "*" : pattern};
}

// Windows sets "archive" on every new or changed file and rarely on a
// directory; POSIX keeps no such flag, so every regular file has it.
std::uint8_t AttributesOf(std::string_view name, const struct stat& info) {
  std::uint8_t attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= attribute::directory;
  if (S_ISREG(info.st_mode)) attributes |= attribute::archive;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= attribute::read_only;
  if (name.starts_with('.') && !IsDotEntry(name)) attributes |= attribute::hidden;
  return attributes;
}

ScanResult ScanFolder(const ScanRequest& request, Charset& charset, Listing& listing) {
  return ScanFolder(request, charset,
                    [&listing](std::string_view name, const EntryFacts& facts) { listing.Add(name, facts); });
}

ScanResult ScanFolder(const ScanRequest& request, Charset& charset, const EntryVisitor& visit) {
  ScanResult result;
  const std::unique_ptr<DIR, DirCloser> dir(opendir(request.native_folder.c_str()));
  if (!dir) {
    result.error = errno;
    return result;
  }
  const int folder_fd = dirfd(dir.get());
  const std::uint8_t filtered_bits = request.filter.required | request.filter.excluded;
  std::string name;
  while (const dirent* item = readdir(dir.get())) {
    const std::string_view native_name = item->d_name;
    if (IsDotEntry(native_name) && !request.include_dot_entries) continue;
    charset.ToUtf8(native_name, name);
    if (!request.pattern.Matches(name)) continue;
    if (HasControlCharacters(name)) name = WithoutControlCharacters(name);

    EntryFacts facts;
    struct stat info {};
    if (!request.need_stat && TypeIsFinal(item->d_type)) {
      facts.attributes = AttributesFromNameAndType(name, item->d_type);
    } else if (const int error = StatEntry(folder_fd, request.native_folder, native_name, info); error == 0) {
      facts.attributes = AttributesOf(name, info);
      facts.size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size);
      facts.modified_seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
      facts.modified_nanoseconds = static_cast<std::uint32_t>(info.st_mtim.tv_nsec);
    } else if (error == ENOENT) {
      continue;  // gone since readdir
    } else {
      // Listed with what the folder's index tells, and named on the error
      // stream, unless the index says enough to leave it out.
      facts.attributes = AttributesFromNameAndType(name, item->d_type);
      facts.details_known = false;
      const bool decidable = (filtered_bits & ~BitsKnownFromType(item->d_type)) == 0;
      if (decidable && !request.filter.Accepts(facts.attributes)) continue;
      result.unreadable.push_back(
          Joined(WithoutControlCharacters(charset.ToUtf8(request.native_folder)), name));
      result.unreadable_error = error;
      if (!decidable) continue;
    }
    if (request.filter.Accepts(facts.attributes)) visit(name, facts);
  }
  return result;
}

}  // namespace quernel::cmd
