#include "base/temp_folder.h"

#include <random>
#include <string>

namespace quernel {

namespace fs = std::filesystem;

TempFolder::TempFolder(const fs::path& base)
    : path_(base / ("quernel-" + std::to_string(std::random_device{}()))) {
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (fs::recursive_directory_iterator it(path_, ignored), end; !ignored && it != end; it.increment(ignored))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

Text TempFolder::Name() const {
  const std::u8string name = path_.u8string();
  return {name.begin(), name.end()};
}

}  // namespace quernel
