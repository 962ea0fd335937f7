#include "base/path_text.h"

#include <algorithm>

#include "base/ascii.h"

namespace quernel {

Text WithSlashes(std::string_view path) {
  Text slashed(path);
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  return slashed;
}

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

std::size_t PathRootLength(std::string_view path) {
  if (HasDriveLetter(path)) return path.size() > 2 && IsPathSeparator(path[2]) ? 3 : 2;
  return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

Text JoinedPath(Text folder, std::string_view relative, char separator) {
  const std::size_t root = PathRootLength(folder);
  while (folder.size() > root && IsPathSeparator(folder.back())) folder.pop_back();
  for (std::size_t start = 0; start <= relative.size();) {
    std::size_t end = start;
    while (end < relative.size() && !IsPathSeparator(relative[end])) ++end;
    const std::string_view part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      std::size_t cut = folder.size();
      while (cut > root && !IsPathSeparator(folder[cut - 1])) --cut;
      while (cut > root && IsPathSeparator(folder[cut - 1])) --cut;
      folder.resize(cut);
      continue;
    }
    if (!folder.empty() && !IsPathSeparator(folder.back())) folder += separator;
    folder += part;
  }
  return folder;
}

}  // namespace quernel
