#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace quernel::cmd::testing {

// Seconds since the epoch of a local date and time, so that listings show
// that date whatever the time zone.
inline std::int64_t LocalTime(int year, int month, int day, int hour, int minute) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

inline void SetMtime(const std::string& path, std::int64_t seconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat " + path);
}

// A folder under /tmp, removed with everything in it when done.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = "/tmp/quernel-cmd-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  std::string File(const std::string& name, std::size_t size = 0, std::int64_t mtime = 0) const {
    const std::string full = *this / name;
    std::ofstream(full, std::ios::binary) << std::string(size, 'x');
    if (mtime != 0) SetMtime(full, mtime);
    return full;
  }
  std::string Folder(const std::string& name, std::int64_t mtime = 0) const {
    const std::string full = *this / name;
    std::filesystem::create_directories(full);
    if (mtime != 0) SetMtime(full, mtime);
    return full;
  }

 private:
  std::string path_;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace quernel::cmd::testing
