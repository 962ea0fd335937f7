#pragma once

#include <filesystem>

#include "design/text.h"

// A fresh temporary folder, for the tests and the fake platform's files.
namespace quernel {

// Made under `base` with a name no other has; removed with all it holds,
// read-only or not, when the object goes.
class TempFolder {
 public:
  explicit TempFolder(const std::filesystem::path& base = std::filesystem::temp_directory_path());
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  Text Name() const;  // the path in UTF-8

 private:
  std::filesystem::path path_;
};

}  // namespace quernel
