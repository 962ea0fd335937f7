#include "quernel-cmd/formatting.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

constexpr std::string_view line_end = "\r\n";

std::string PadLeft(std::string_view text, std::size_t width) {
  std::string padded(width > text.size() ? width - text.size() : 0, ' ');
  return padded += text;
}

bool IsDirectory(const Entry& entry) {
  return (entry.attributes & attribute::directory) != 0;
}

std::string DisplayName(const Listing& listing, const Entry& entry, bool lower_case) {
  return lower_case ? ToLower(listing.Name(entry)) : std::string(listing.Name(entry));
}

// An entry whose details could not be read keeps its line, with the date
// and the size left blank (a folder still says <DIR>).
void WriteEntryLine(const Entry& entry, std::string_view name, Language language, TextSink& out) {
  std::string line = FormatTimestamp(entry.modified_seconds, language);
  if (!entry.details_known) line.assign(line.size(), ' ');
  if (IsDirectory(entry))
    line += "    <DIR>          ";
  else if (entry.details_known)
    line += PadLeft(GroupThousands(static_cast<std::uint64_t>(entry.size)), 18) + " ";
  else
    line.append(19, ' ');
  line += name;
  line += line_end;
  out.Write(line);
}

// Row by row, as many columns as fit; each column is as wide as the widest
// name plus one space, so no line reaches the console's last column.
void WriteWideEntries(const Listing& listing, bool lower_case, TextSink& out) {
  const auto cell = [&](const Entry& entry) {
    std::string name = DisplayName(listing, entry, lower_case);
    return IsDirectory(entry) ? "[" + name + "]" : name;
  };
  std::size_t widest = 0;
  for (const Entry& entry : listing.Entries()) widest = std::max(widest, DisplayWidth(cell(entry)));
  const std::size_t columns = std::max<std::size_t>(1, console_width / (widest + 1));

  std::string line;
  std::size_t column = 0;
  for (const Entry& entry : listing.Entries()) {
    const std::string text = cell(entry);
    line += text;
    if (++column == columns) {
      out.Write(line += line_end);
      line.clear();
      column = 0;
    } else {
      line.append(widest + 1 - DisplayWidth(text), ' ');
    }
  }
  if (column != 0) {
    line.erase(line.find_last_not_of(' ') + 1);
    out.Write(line += line_end);
  }
}

void WriteFooter(const Listing& listing, std::uint64_t free_bytes, Language language, TextSink& out) {
  std::uint64_t files = 0;
  std::uint64_t directories = 0;
  std::uint64_t bytes = 0;
  for (const Entry& entry : listing.Entries()) {
    if (IsDirectory(entry)) {
      ++directories;
    } else {
      ++files;
      bytes += static_cast<std::uint64_t>(entry.size);
    }
  }
  const bool chinese = language == Language::Chinese;
  std::string footer = PadLeft(GroupThousands(files), 16);
  footer += chinese ? " 个文件 " : " File(s) ";
  footer += PadLeft(GroupThousands(bytes), 14);
  footer += chinese ? " 字节" : " bytes";
  footer += line_end;
  footer += PadLeft(GroupThousands(directories), 16);
  footer += chinese ? " 个目录 " : " Dir(s) ";
  footer += PadLeft(GroupThousands(free_bytes), chinese ? 14 : 15);
  footer += chinese ? " 可用字节" : " bytes free";
  footer += line_end;
  out.Write(footer);
}

}  // namespace

std::string FormatTimestamp(std::int64_t seconds, Language language) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[96];
  if (language == Language::Chinese) {
    std::snprintf(text, sizeof text, "%04d/%02d/%02d  %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
  } else {
    const int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::snprintf(text, sizeof text, "%02d/%02d/%04d  %02d:%02d %s", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900, hour, local.tm_min, local.tm_hour < 12 ? "AM" : "PM");
  }
  return text;
}

void WriteHeader(const FolderSummary& summary, Language language, TextSink& out) {
  std::string header(line_end);
  header +=
      language == Language::Chinese ? " " + summary.folder + " 的目录" : " Directory of " + summary.folder;
  header += line_end;
  header += line_end;
  out.Write(header);
}

void WriteListing(const Listing& listing, const FormatOptions& options, const FolderSummary& summary,
                  TextSink& out) {
  if (options.format == ListingFormat::Bare) {
    for (const Entry& entry : listing.Entries()) {
      if (options.lower_case)
        out.Write(ToLower(listing.Name(entry)));
      else
        out.Write(listing.Name(entry));
      out.Write(line_end);
    }
    return;
  }
  WriteHeader(summary, options.language, out);
  if (options.format == ListingFormat::Wide) {
    WriteWideEntries(listing, options.lower_case, out);
  } else {
    for (const Entry& entry : listing.Entries())
      WriteEntryLine(entry, DisplayName(listing, entry, options.lower_case), options.language, out);
  }
  WriteFooter(listing, summary.free_bytes, options.language, out);
}

}  // namespace quernel::cmd
