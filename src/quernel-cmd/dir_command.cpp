#include "dir_command.hpp"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>

#include "formatting.hpp"
#include "scan.hpp"
#include "sorting.hpp"
#include "text.hpp"

namespace quernel::cmd {

namespace {

std::uint64_t free_bytes(const std::string& native_folder) {
  struct statvfs info {};
  if (statvfs(native_folder.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.f_bavail) * static_cast<std::uint64_t>(info.f_frsize);
}

bool needs_stat(const DirOptions& options) {
  const bool sorts_by_facts = std::any_of(options.sort.begin(), options.sort.end(), [](const SortKey& key) {
    return key.field == SortField::size || key.field == SortField::date;
  });
  return options.format() != ListingFormat::bare || sorts_by_facts ||
         options.filter.involves(attribute::read_only);
}

void report(const CommandError& error, Language language, TextSink& err) {
  err.write(describe(error, language) + "\n");
  err.flush();
}

}  // namespace

DirStatus run_dir(const DirOptions& options, DirContext& context, TextSink& out, TextSink& err) {
  const Language language = context.locale.language;
  const auto is_directory = [&](const std::string& path) {
    struct stat info {};
    return stat(host_path(path, context.charset).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  };
  const ListingTarget target = resolve_target(options.path.value_or(""), context.cwd, is_directory);
  const WildcardPattern pattern(target.pattern);
  const std::string native_folder = host_path(target.folder, context.charset);
  const bool bare = options.format() == ListingFormat::bare;

  Listing listing;
  const ScanRequest request{native_folder, pattern, options.filter, !bare && target.folder != "/",
                            needs_stat(options)};
  ScanResult scan = scan_folder(request, context.charset, listing);
  if (scan.error == ENOENT || scan.error == ENOTDIR) {
    report({CommandError::Kind::file_not_found, {}}, language, err);
    return {1, false};
  }
  if (scan.error != 0) {
    report(error_from_errno(scan.error, context.charset), language, err);
    return {1, true};
  }

  FolderSummary summary{without_control_characters(target.folder), 0};
  if (listing.entries().empty()) {
    if (!bare) write_header(summary, language, out);
  } else {
    NameCollator collator(context.locale.collation_locale);
    sort_listing(listing, options.sort, collator);
    if (!bare) summary.free_bytes = free_bytes(native_folder);
    write_listing(listing, {options.format(), options.lower_case, language}, summary, out);
  }
  out.flush();
  if (!scan.unreadable.empty()) {
    std::sort(scan.unreadable.begin(), scan.unreadable.end());
    std::string names;
    for (const std::string& name : scan.unreadable) (names += name) += '\n';
    err.write(names);
    report(error_from_errno(scan.unreadable_error, context.charset), language, err);
    return {listing.entries().empty() ? 1 : 0, true};
  }
  if (listing.entries().empty()) {
    report({CommandError::Kind::file_not_found, {}}, language, err);
    return {1, false};
  }
  return {0, false};
}

}  // namespace quernel::cmd
