#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/result.h"
#include "design/text.h"

// The file-system service: the few file operations the program needs, on
// paths formed the Windows way (a backslash separates, names are found
// regardless of case).
namespace quernel {

// Why an operation failed, where the program acts on it.
enum class FileFailure {
  NotFound,         // nothing of that name is there
  NotARegularFile,  // a link, reparse point, pipe, device or folder sits there
  DiskFull,         // no room left on the disk (or in the user's quota)
  Other,
};

struct FileError {
  Text reason;  // the system's own wording
  FileFailure kind = FileFailure::Other;
};
using FileResult = Result<void, FileError>;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Deletes a file, read-only ones too. A missing file is a NotFound failure;
  // a folder of that name, or a file another program holds, is another one.
  virtual FileResult RemoveFile(const Text& path) = 0;
  // Creates the file with exactly `bytes`. A file of that name goes first,
  // by its name only: a link's target, a hard link's other names and a pipe's
  // reader are never touched. The new file is created exclusively; a folder
  // of that name, or anything that appears there meanwhile, is a
  // NotARegularFile failure. Nothing is left of a file that could not be
  // written whole.
  virtual FileResult WriteNewFile(const Text& path, std::string_view bytes) = 0;
  virtual bool FileExists(const Text& path) const = 0;
  virtual bool FolderExists(const Text& path) const = 0;
  // Whether files can be created in the folder (it exists and is writable).
  virtual bool CanCreateFilesIn(const Text& folder) const = 0;
  // Creates the folder and any missing parents; success if it exists.
  virtual FileResult MakeFolders(const Text& folder) = 0;
  // The bytes the user may still write on the folder's disk; none when the
  // system cannot tell.
  virtual std::optional<std::uint64_t> FreeBytesIn(const Text& folder) const = 0;
};

}  // namespace quernel
