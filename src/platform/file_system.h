#pragma once

#include <optional>
#include <string_view>

#include "core/text.h"

// The file-system service: the few file operations the program needs, on
// paths formed the Windows way (a backslash separates, names are found
// regardless of case).
namespace quernel {

struct FileResult {
  bool ok = true;
  Text reason;  // the system's own wording of a failure
  static FileResult Success() { return {}; }
  static FileResult Failure(Text why) { return {false, std::move(why)}; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Deletes a file, read-only ones too. A missing file is a failure.
  virtual FileResult RemoveFile(const Text& path) = 0;
  // Creates the file, or replaces one that is there, with exactly `bytes`.
  virtual FileResult WriteNewFile(const Text& path, std::string_view bytes) = 0;
  virtual bool FileExists(const Text& path) const = 0;
  virtual bool FolderExists(const Text& path) const = 0;
  // Whether files can be created in the folder (it exists and is writable).
  virtual bool CanCreateFilesIn(const Text& folder) const = 0;
  // Creates the folder and any missing parents; success if it exists.
  virtual FileResult MakeFolders(const Text& folder) = 0;
  // The 8.3 short form of an existing path where the system keeps one.
  virtual std::optional<Text> ShortPathOf(const Text& path) const = 0;
};

}  // namespace quernel
