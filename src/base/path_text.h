#pragma once

#include <cstddef>
#include <string_view>

#include "design/text.h"

// Paths as text, the Windows way and the POSIX way at once: "\" and "/"
// both separate, and a path may start with a drive ("C:"). Nothing here
// asks the file system.
namespace quernel {

constexpr bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

// The path with each backslash made a slash: the host's separator on POSIX.
Text WithSlashes(std::string_view path);

bool HasDriveLetter(std::string_view path);

// How much of a path is its root: "C:\" (or "C:"), "/", "\", or nothing.
std::size_t PathRootLength(std::string_view path);

// `folder` with `relative` appended name by name, "." and ".." followed
// (never above the folder's root) and empty names dropped; the folder loses
// its trailing separators, and names are joined with `separator`.
Text JoinedPath(Text folder, std::string_view relative, char separator);

}  // namespace quernel
