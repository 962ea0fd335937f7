#include "formatting.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "text.hpp"

namespace quernel::cmd {

namespace {

constexpr std::string_view line_end = "\r\n";

std::string pad_left(std::string_view text, std::size_t width) {
  std::string padded(width > text.size() ? width - text.size() : 0, ' ');
  return padded += text;
}

bool is_directory(const Entry& entry) {
  return (entry.attributes & attribute::directory) != 0;
}

std::string display_name(const Listing& listing, const Entry& entry, bool lower_case) {
  return lower_case ? to_lower(listing.name(entry)) : std::string(listing.name(entry));
}

// An entry whose details could not be read keeps its line, with the date
// and the size left blank (a folder still says <DIR>).
void write_entry_line(const Entry& entry, std::string_view name, Language language, TextSink& out) {
  std::string line = format_timestamp(entry.modified_seconds, language);
  if (!entry.details_known) line.assign(line.size(), ' ');
  if (is_directory(entry))
    line += "    <DIR>          ";
  else if (entry.details_known)
    line += pad_left(group_thousands(static_cast<std::uint64_t>(entry.size)), 18) + " ";
  else
    line.append(19, ' ');
  line += name;
  line += line_end;
  out.write(line);
}

// Row by row, as many columns as fit; each column is as wide as the widest
// name plus one space, so no line reaches the console's last column.
void write_wide_entries(const Listing& listing, bool lower_case, TextSink& out) {
  const auto cell = [&](const Entry& entry) {
    std::string name = display_name(listing, entry, lower_case);
    return is_directory(entry) ? "[" + name + "]" : name;
  };
  std::size_t widest = 0;
  for (const Entry& entry : listing.entries()) widest = std::max(widest, display_width(cell(entry)));
  const std::size_t columns = std::max<std::size_t>(1, console_width / (widest + 1));

  std::string line;
  std::size_t column = 0;
  for (const Entry& entry : listing.entries()) {
    const std::string text = cell(entry);
    line += text;
    if (++column == columns) {
      out.write(line += line_end);
      line.clear();
      column = 0;
    } else {
      line.append(widest + 1 - display_width(text), ' ');
    }
  }
  if (column != 0) {
    line.erase(line.find_last_not_of(' ') + 1);
    out.write(line += line_end);
  }
}

void write_footer(const Listing& listing, std::uint64_t free_bytes, Language language, TextSink& out) {
  std::uint64_t files = 0;
  std::uint64_t directories = 0;
  std::uint64_t bytes = 0;
  for (const Entry& entry : listing.entries()) {
    if (is_directory(entry)) {
      ++directories;
    } else {
      ++files;
      bytes += static_cast<std::uint64_t>(entry.size);
    }
  }
  const bool chinese = language == Language::chinese;
  std::string footer = pad_left(group_thousands(files), 16);
  footer += chinese ? " 个文件 " : " File(s) ";
  footer += pad_left(group_thousands(bytes), 14);
  footer += chinese ? " 字节" : " bytes";
  footer += line_end;
  footer += pad_left(group_thousands(directories), 16);
  footer += chinese ? " 个目录 " : " Dir(s) ";
  footer += pad_left(group_thousands(free_bytes), chinese ? 14 : 15);
  footer += chinese ? " 可用字节" : " bytes free";
  footer += line_end;
  out.write(footer);
}

}  // namespace

std::string format_timestamp(std::int64_t seconds, Language language) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[96];
  if (language == Language::chinese) {
    std::snprintf(text, sizeof text, "%04d/%02d/%02d  %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
  } else {
    const int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::snprintf(text, sizeof text, "%02d/%02d/%04d  %02d:%02d %s", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900, hour, local.tm_min, local.tm_hour < 12 ? "AM" : "PM");
  }
  return text;
}

void write_header(const FolderSummary& summary, Language language, TextSink& out) {
  std::string header(line_end);
  header +=
      language == Language::chinese ? " " + summary.folder + " 的目录" : " Directory of " + summary.folder;
  header += line_end;
  header += line_end;
  out.write(header);
}

void write_listing(const Listing& listing, const FormatOptions& options, const FolderSummary& summary,
                   TextSink& out) {
  if (options.format == ListingFormat::bare) {
    for (const Entry& entry : listing.entries()) {
      std::string line = display_name(listing, entry, options.lower_case);
      out.write(line += line_end);
    }
    return;
  }
  write_header(summary, options.language, out);
  if (options.format == ListingFormat::wide) {
    write_wide_entries(listing, options.lower_case, out);
  } else {
    for (const Entry& entry : listing.entries())
      write_entry_line(entry, display_name(listing, entry, options.lower_case), options.language, out);
  }
  write_footer(listing, summary.free_bytes, options.language, out);
}

}  // namespace quernel::cmd
