#include "scan.hpp"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace quernel::cmd {

namespace {

bool is_dot_entry(std::string_view name) {
  return name == "." || name == "..";
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Attributes known without stat(), or nullopt when the type is unknown.
std::optional<std::uint8_t> attributes_from_type(std::string_view name, unsigned char type) {
  if (type != DT_DIR && type != DT_REG && type != DT_FIFO && type != DT_SOCK && type != DT_CHR &&
      type != DT_BLK)
    return std::nullopt;
  std::uint8_t attributes = type == DT_DIR ? attribute::directory : 0;
  if (type == DT_REG) attributes |= attribute::archive;
  if (name.starts_with('.') && !is_dot_entry(name)) attributes |= attribute::hidden;
  return attributes;
}

bool stat_entry(int folder_fd, const char* name, struct stat& info) {
  return fstatat(folder_fd, name, &info, 0) == 0 || fstatat(folder_fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace

std::string normalize_path(std::string_view path, std::string_view cwd) {
  std::string full(path);
  std::replace(full.begin(), full.end(), '\\', '/');
  if (!full.starts_with('/')) full = std::string(cwd) + "/" + full;
  std::vector<std::string_view> parts;
  std::string_view rest = full;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string normalized;
  for (std::string_view part : parts) (normalized += '/') += part;
  return normalized.empty() ? "/" : normalized;
}

ListingTarget resolve_target(std::string_view path_argument, std::string_view cwd,
                             const std::function<bool(const std::string&)>& is_directory) {
  std::string path(path_argument);
  std::replace(path.begin(), path.end(), '\\', '/');
  const std::string whole = normalize_path(path, cwd);
  if (path.empty() || is_directory(whole)) return {whole, "*"};
  const std::size_t slash = path.rfind('/');
  const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  return {normalize_path(folder, cwd), pattern.empty() ? "*" : pattern};
}

// Windows sets "archive" on every new or changed file and rarely on a
// directory; POSIX keeps no such flag, so every regular file has it.
std::uint8_t attributes_of(std::string_view name, const struct stat& info) {
  std::uint8_t attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= attribute::directory;
  if (S_ISREG(info.st_mode)) attributes |= attribute::archive;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= attribute::read_only;
  if (name.starts_with('.') && !is_dot_entry(name)) attributes |= attribute::hidden;
  return attributes;
}

ScanResult scan_folder(const ScanRequest& request, Charset& charset, Listing& listing) {
  const std::unique_ptr<DIR, DirCloser> dir(opendir(request.native_folder.c_str()));
  if (!dir) return errno == EACCES ? ScanResult::access_denied : ScanResult::not_found;
  const int folder_fd = dirfd(dir.get());
  std::string name;
  while (const dirent* item = readdir(dir.get())) {
    const std::string_view native_name = item->d_name;
    if (is_dot_entry(native_name) && !request.include_dot_entries) continue;
    charset.to_utf8(native_name, name);
    if (!request.pattern.matches(name)) continue;

    EntryFacts facts;
    const auto known = request.need_stat ? std::nullopt : attributes_from_type(name, item->d_type);
    struct stat info {};
    if (known) {
      facts.attributes = *known;
    } else if (stat_entry(folder_fd, item->d_name, info)) {
      facts.attributes = attributes_of(name, info);
      facts.size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size);
      facts.modified_seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
      facts.modified_nanoseconds = static_cast<std::uint32_t>(info.st_mtim.tv_nsec);
    } else {
      continue;  // vanished since readdir
    }
    if (request.filter.accepts(facts.attributes)) listing.add(name, facts);
  }
  return ScanResult::ok;
}

}  // namespace quernel::cmd
