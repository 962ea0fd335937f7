#include "core/start_folder.h"

#include "base/path_text.h"

namespace quernel {
namespace {

// An absolute path stays as given; "\x" is on the current folder's drive;
// "D:x", relative to a drive's own current folder that only the system
// knows, stays as given too.
Text Absolute(const Text& path, const Text& currentFolder) {
  if (HasDriveLetter(path)) return path;
  if (IsPathSeparator(path[0])) {
    const bool onCurrentDrive = path.size() == 1 || !IsPathSeparator(path[1]);
    return onCurrentDrive && HasDriveLetter(currentFolder) ? currentFolder.substr(0, 2) + path : path;
  }
  // In the separator the folder already uses.
  const bool windows = HasDriveLetter(currentFolder) || currentFolder.find('\\') != Text::npos;
  return JoinedPath(currentFolder, path, windows ? '\\' : '/');
}

// The folder that holds a file; a root keeps its separator.
Text FolderOf(const Text& file) {
  std::size_t cut = file.size();
  while (cut > 0 && !IsPathSeparator(file[cut - 1])) --cut;
  const std::size_t root = PathRootLength(file);
  while (cut > root && IsPathSeparator(file[cut - 1])) --cut;
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
