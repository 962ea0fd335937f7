#pragma once

#include <string>

#include "platform/file_system.h"

// FileSystem on POSIX. Paths of the program are formed the Windows way, so a
// backslash separates like a slash; names are looked up as spelled, never by
// reading a folder (a user's path may name a folder of a million entries).
// Failure reasons are the system's, in the user's language.
namespace quernel::posix {

class PosixFileSystem final : public FileSystem {
 public:
  FileResult RemoveFile(const Text& path) override;
  FileResult WriteNewFile(const Text& path, std::string_view bytes) override;
  bool FileExists(const Text& path) const override;
  bool FolderExists(const Text& path) const override;
  bool CanCreateFilesIn(const Text& folder) const override;
  FileResult MakeFolders(const Text& folder) override;
  std::optional<std::uint64_t> FreeBytesIn(const Text& folder) const override;
};

// The host's path for a path of the program: backslashes made slashes.
std::string HostPath(const Text& path);

// After a batch file's run: the batch file names the
// listing "…\Path.txt" and the program looks for "…\path.txt", one file on
// Windows. When `listing` (a path of the program) is not there as spelled,
// the file of its folder whose name equals it ignoring ASCII case takes that
// name. Nothing happens for an empty path.
void SettleListingName(const Text& listing);

// The system's description of an errno value in the user's language, UTF-8.
Text SystemReason(int error);

}  // namespace quernel::posix
