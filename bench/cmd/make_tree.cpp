// Fills a folder with N entries for the dir benchmark: mostly files of
// assorted (sparse) sizes and dates, some with Chinese names, and one in a
// hundred a folder. Usage: quernel_cmd_make_tree FOLDER N
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 33U;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33U;
  return x;
}

std::string EntryName(std::uint64_t i, std::uint64_t hash) {
  static const char* const extensions[] = {"txt", "mp3", "jpg", "dat", "tar.gz"};
  static const char* const chinese[] = {"苹果", "香蕉", "文件", "音乐", "照片"};
  char name[96];
  if (i % 10 == 0)
    std::snprintf(name, sizeof name, "%s-%08llx.%s", chinese[hash % 5], static_cast<unsigned long long>(i),
                  extensions[(hash >> 8U) % 5]);
  else
    std::snprintf(name, sizeof name, "%s%06llx-%llu.%s", (hash & 1U) != 0 ? "Entry-" : "entry_",
                  static_cast<unsigned long long>(hash & 0xFFFFFFU), static_cast<unsigned long long>(i),
                  extensions[(hash >> 8U) % 5]);
  return name;
}

bool MakeEntry(int folder_fd, std::uint64_t i) {
  const std::uint64_t hash = Mix(i + 1);
  const std::string name = EntryName(i, hash);
  if (i % 100 == 99) return mkdirat(folder_fd, name.c_str(), 0755) == 0;
  const int fd = openat(folder_fd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const auto size = static_cast<off_t>((hash >> 16U) % 5'000'000);
  const timespec times[2] = {{0, UTIME_OMIT},
                             {static_cast<time_t>(1'500'000'000 + (hash >> 20U) % 300'000'000), 0}};
  const bool ok = ftruncate(fd, size) == 0 && futimens(fd, times) == 0;
  return close(fd) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FOLDER N\n", argv[0]);
    return 2;
  }
  const std::uint64_t count = std::strtoull(argv[2], nullptr, 10);
  mkdir(argv[1], 0755);
  const int folder_fd = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  for (std::uint64_t i = 0; i < count; ++i) {
    if (!MakeEntry(folder_fd, i)) {
      std::perror("create entry");
      return 1;
    }
  }
  close(folder_fd);
  return 0;
}
