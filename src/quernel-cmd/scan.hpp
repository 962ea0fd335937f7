#pragma once

#include "charset.hpp"
#include "dir_options.hpp"
#include "listing.hpp"
#include "wildcard.hpp"

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>

namespace quernel::cmd {

// Makes `path` absolute against `cwd` and removes ".", ".." and repeated
// or trailing slashes; backslashes count as separators.
std::string normalize_path(std::string_view path, std::string_view cwd);

struct ListingTarget {
    std::string folder;  // normalized, absolute
    std::string pattern;
};

// Splits a dir path into folder and pattern as cmd does: the pattern is the
// part after the last separator, unless the whole path names a directory,
// which is then listed with "*". No path means the current folder.
ListingTarget resolve_target(std::string_view path_argument, std::string_view cwd,
                             const std::function<bool(const std::string&)>& is_directory);

std::uint8_t attributes_of(std::string_view name, const struct stat& info);

struct ScanRequest {
    std::string native_folder;
    const WildcardPattern& pattern;
    AttributeFilter filter;
    bool include_dot_entries;
    bool need_stat;  // sizes, dates or read-only are used
};

enum class ScanResult { ok, not_found, access_denied };

// Reads the folder entry by entry, keeping those that match.
ScanResult scan_folder(const ScanRequest& request, Charset& charset, Listing& listing);

}  // namespace quernel::cmd
