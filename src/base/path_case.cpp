#include "base/path_case.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "base/ascii.h"

namespace quernel {
namespace {

std::string Joined(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  return folder.ends_with('/') ? folder + std::string(name) : folder + "/" + std::string(name);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case.
std::optional<std::string> FindInFolder(const std::string& folder, std::string_view name,
                                        const NameDecoder& decode) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
  if (!dir) return std::nullopt;
  const std::string wanted = decode ? decode(name) : std::string(name);
  while (const dirent* entry = readdir(dir.get()))
    if (EqualIgnoringAsciiCase(decode ? decode(entry->d_name) : entry->d_name, wanted)) return entry->d_name;
  return std::nullopt;
}

}  // namespace

std::string ResolveIgnoringCase(std::string_view path, const NameDecoder& decode) {
  std::string resolved = path.starts_with('/') ? "/" : "";
  bool existsSoFar = true;
  for (std::string_view rest = path; !rest.empty();) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (part.empty()) continue;
    std::string name(part);
    if (existsSoFar && part != "." && part != ".." && !Exists(Joined(resolved, name))) {
      const bool hasLetters = std::any_of(part.begin(), part.end(), IsAsciiLetter);
      if (auto found = hasLetters ? FindInFolder(resolved, part, decode) : std::nullopt)
        name = std::move(*found);
      else
        existsSoFar = false;
    }
    resolved = Joined(resolved, name);
  }
  if (path.ends_with('/') && !resolved.ends_with('/')) resolved += '/';
  return resolved.empty() ? "." : resolved;
}

}  // namespace quernel
