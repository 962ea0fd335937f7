#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "quernel-cmd/charset.h"
#include "quernel-cmd/dir_options.h"
#include "quernel-cmd/listing.h"
#include "quernel-cmd/wildcard.h"

namespace quernel::cmd {

// Makes `path` absolute against `cwd` and removes ".", ".." and repeated
// or trailing slashes; backslashes count as separators.
std::string NormalizePath(std::string_view path, std::string_view cwd);

// The host's path for a path of a batch file (UTF-8, backslashes or slashes
// between names): converted to the locale's character set, and each name
// that does not exist as spelled replaced by an entry of its folder that
// differs only in ASCII case, as cmd finds them on Windows. So "MUSIC"
// reaches "music", and "Path.txt" is "path.txt".
std::string HostPath(std::string_view utf8_path, Charset& charset);

struct ListingTarget {
  std::string folder;  // normalized, absolute
  std::string pattern;
};

// Splits a dir path into folder and pattern as cmd does: the pattern is the
// part after the last separator, unless the whole path names a directory,
// which is then listed with "*". No path means the current folder.
ListingTarget ResolveTarget(std::string_view path_argument, std::string_view cwd,
                            const std::function<bool(const std::string&)>& is_directory);

std::uint8_t AttributesOf(std::string_view name, const struct stat& info);

struct ScanRequest {
  std::string native_folder;
  const WildcardPattern& pattern;
  AttributeFilter filter;
  bool include_dot_entries;
  bool need_stat;  // sizes, dates or read-only are used
};

struct ScanResult {
  int error = 0;  // errno when the folder could not be read
  // Matching entries whose details could not be read (UTF-8 names, the
  // last errno): listed with what is known, or left out when the /a
  // filter cannot be decided without them.
  std::vector<std::string> unreadable;
  int unreadable_error = 0;
};

// Receives each matching entry as the folder is read; the name is valid for
// the call only.
using EntryVisitor = std::function<void(std::string_view utf8_name, const EntryFacts& facts)>;

// Reads the folder entry by entry, handing on those that match. Names are
// made fit for a listing line (control characters become '?').
ScanResult ScanFolder(const ScanRequest& request, Charset& charset, const EntryVisitor& visit);

// The same, keeping the matching entries.
ScanResult ScanFolder(const ScanRequest& request, Charset& charset, Listing& listing);

}  // namespace quernel::cmd
