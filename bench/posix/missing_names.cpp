// What the folder field's lookups cost for names that are not there: the
// paths of a drop or the command line, 30 of them, each asked as FolderFor-
// Field asks (FolderExists, then FileExists), in FOLDER (quernel_cmd_make_tree
// fills it). Looked up as spelled by the POSIX file system, against the same
// lookups resolved ignoring case (what the file system did for every missing
// name before: read the whole folder). Usage: quernel_missing_names FOLDER
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/path_case.h"
#include "platform/posix/posix_file_system.h"

namespace {

constexpr int kNames = 30;

template <class Lookup>
double Milliseconds(const std::vector<std::string>& names, Lookup lookup) {
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& name : names) lookup(name);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<std::string> names;
  for (int i = 0; i < kNames; ++i) names.push_back(folder + "\\Stale-" + std::to_string(i) + ".mp3");

  quernel::posix::PosixFileSystem files;
  int found = 0;
  const double exact = Milliseconds(
      names, [&](const std::string& name) { found += files.FolderExists(name) + files.FileExists(name); });
  const double ignoringCase = Milliseconds(names, [&](const std::string& name) {
    for (int twice = 0; twice < 2; ++twice)
      found += std::filesystem::exists(quernel::ResolveIgnoringCase(quernel::posix::HostPath(name)));
  });
  std::printf("%d missing names: as spelled %.3f ms, ignoring case %.1f ms%s\n", kNames, exact, ignoringCase,
              found ? " (some were found!)" : "");
  return 0;
}
