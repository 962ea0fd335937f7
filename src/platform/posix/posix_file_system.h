#pragma once

#include <string>

#include "platform/file_system.h"

// FileSystem on POSIX. Paths of the program are formed the Windows way, so a
// backslash separates like a slash, and a name whose exact spelling is absent
// is found regardless of case ("path.txt" is the "Path.txt" that the listing
// command writes). Failure reasons are the system's, in the user's language.
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

// The host's path for a path of the program: backslashes made slashes, and
// each component that does not exist as spelled replaced by an existing one
// that differs only in ASCII case.
std::string HostPath(const Text& path);

// The system's description of an errno value in the user's language, UTF-8.
Text SystemReason(int error);

}  // namespace quernel::posix
