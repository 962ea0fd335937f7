#pragma once

#include "platform/file_system.h"

// FileSystem on the Win32 file API; failures carry FormatMessage's wording.
namespace quernel::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  FileResult RemoveFile(const Text& path) override;
  FileResult WriteNewFile(const Text& path, std::string_view bytes) override;
  bool FileExists(const Text& path) const override;
  bool FolderExists(const Text& path) const override;
  bool CanCreateFilesIn(const Text& folder) const override;
  FileResult MakeFolders(const Text& folder) override;
  std::optional<std::uint64_t> FreeBytesIn(const Text& folder) const override;
};

}  // namespace quernel::win32
