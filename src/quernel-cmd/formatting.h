#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "quernel-cmd/dir_options.h"
#include "quernel-cmd/listing.h"
#include "quernel-cmd/locale_settings.h"
#include "quernel-cmd/output.h"

namespace quernel::cmd {

struct FormatOptions {
  ListingFormat format = ListingFormat::Full;
  bool lower_case = false;
  Language language = Language::English;
};

struct FolderSummary {
  std::string folder;
  std::uint64_t free_bytes = 0;
};

constexpr std::size_t console_width = 80;

// cmd's date and time columns: "12/06/2026  10:08 PM", or under Chinese
// "2026/12/06  22:08", in local time.
std::string FormatTimestamp(std::int64_t seconds, Language language);

// The empty line, the folder line and the empty line that open a listing.
void WriteHeader(const FolderSummary& summary, Language language, TextSink& out);

// Writes the entries (and, except for /b, the header and footer). Every
// line ends in CR LF, as cmd writes them.
void WriteListing(const Listing& listing, const FormatOptions& options, const FolderSummary& summary,
                  TextSink& out);

}  // namespace quernel::cmd
