#include "core/start_folder.h"

namespace quernel {
namespace {

// Both separators count, as they do for the file system.
bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool HasDrive(const Text& path) {
  const auto letter = static_cast<unsigned char>(path.size() >= 2 ? path[0] : 0);
  return ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) && path[1] == ':';
}

// How much of a path is its root: "C:\" (or "C:"), "/", "\".
std::size_t RootLength(const Text& path) {
  if (HasDrive(path)) return path.size() > 2 && IsSeparator(path[2]) ? 3 : 2;
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

// The folder with `relative` appended, its "." and ".." followed, in the
// separator the folder already uses.
Text Joined(Text folder, const Text& relative) {
  const char separator = HasDrive(folder) || folder.find('\\') != Text::npos ? '\\' : '/';
  const std::size_t root = RootLength(folder);
  while (folder.size() > root && IsSeparator(folder.back())) folder.pop_back();
  for (std::size_t start = 0; start <= relative.size();) {
    std::size_t end = start;
    while (end < relative.size() && !IsSeparator(relative[end])) ++end;
    const Text part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      std::size_t cut = folder.size();
      while (cut > root && !IsSeparator(folder[cut - 1])) --cut;
      while (cut > root && IsSeparator(folder[cut - 1])) --cut;
      folder.resize(cut);
      continue;
    }
    if (!folder.empty() && !IsSeparator(folder.back())) folder += separator;
    folder += part;
  }
  return folder;
}

// An absolute path stays as given; "\x" is on the current folder's drive;
// "D:x", relative to a drive's own current folder that only the system
// knows, stays as given too.
Text Absolute(const Text& path, const Text& currentFolder) {
  if (HasDrive(path)) return path;
  if (IsSeparator(path[0])) {
    const bool onCurrentDrive = path.size() == 1 || !IsSeparator(path[1]);
    return onCurrentDrive && HasDrive(currentFolder) ? currentFolder.substr(0, 2) + path : path;
  }
  return Joined(currentFolder, path);
}

// The folder that holds a file; a root keeps its separator.
Text FolderOf(const Text& file) {
  std::size_t cut = file.size();
  while (cut > 0 && !IsSeparator(file[cut - 1])) --cut;
  const std::size_t root = RootLength(file);
  while (cut > root && IsSeparator(file[cut - 1])) --cut;
  return file.substr(0, cut);
}

}  // namespace

std::optional<Text> FolderForField(const std::vector<Text>& paths, const Text& currentFolder,
                                   PathSource source, const FileSystem& files) {
  std::optional<Text> fileFolder, firstGiven;
  for (const Text& path : paths) {
    if (path.empty()) continue;
    const Text absolute = Absolute(path, currentFolder);
    if (files.FolderExists(absolute)) return absolute;
    if (!fileFolder && files.FileExists(absolute)) fileFolder = FolderOf(absolute);
    if (!firstGiven) firstGiven = absolute;
  }
  if (fileFolder) return fileFolder;
  if (source == PathSource::CommandLine) return firstGiven;
  return std::nullopt;
}

}  // namespace quernel
