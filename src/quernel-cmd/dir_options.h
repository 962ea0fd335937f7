#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "quernel-cmd/messages.h"

namespace quernel::cmd {

namespace attribute {
constexpr std::uint8_t directory = 1U << 0U;
constexpr std::uint8_t hidden = 1U << 1U;
constexpr std::uint8_t system = 1U << 2U;
constexpr std::uint8_t read_only = 1U << 3U;
constexpr std::uint8_t archive = 1U << 4U;
}  // namespace attribute

// Which entries /a lets through: all `required` bits set, no `excluded` bit.
struct AttributeFilter {
  std::uint8_t required = 0;
  std::uint8_t excluded = attribute::hidden | attribute::system;

  bool Accepts(std::uint8_t attributes) const {
    return (attributes & required) == required && (attributes & excluded) == 0;
  }
  bool Involves(std::uint8_t bits) const { return ((required | excluded) & bits) != 0; }
};

enum class SortField : std::uint8_t { Name, Size, Extension, Date, Group };

struct SortKey {
  SortField field;
  bool descending;
  bool operator==(const SortKey&) const = default;
};

enum class ListingFormat { Full, Wide, Bare };

struct DirOptions {
  std::optional<std::string> path;
  AttributeFilter filter;
  std::vector<SortKey> sort;  // empty: the folder's own order
  bool lower_case = false;
  bool wide = false;
  bool bare = false;

  ListingFormat Format() const {
    return bare ? ListingFormat::Bare : wide ? ListingFormat::Wide : ListingFormat::Full;
  }
};

// One word of a command line; quoted words are never switches.
struct Word {
  std::string text;
  bool quoted = false;
  bool operator==(const Word&) const = default;
};

// Parses the words after "dir". Switches are case-insensitive and may be
// joined ("/b/o:n"); an unquoted word starting with '/' that is no valid
// switch is a POSIX path, unless it is a single letter or has a colon
// ("/q", "/x:y"), which cmd would take for a switch.
Result<void, CommandError> ParseDirArguments(const std::vector<Word>& words, DirOptions& options);

}  // namespace quernel::cmd
