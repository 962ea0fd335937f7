#include "dir_command.hpp"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>

#include "formatting.hpp"
#include "scan.hpp"
#include "sorting.hpp"

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

int run_dir(const DirOptions& options, DirContext& context, TextSink& out, TextSink& err) {
  const Language language = context.locale.language;
  const auto is_directory = [&](const std::string& path) {
    struct stat info {};
    return stat(context.charset.from_utf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  };
  const ListingTarget target = resolve_target(options.path.value_or(""), context.cwd, is_directory);
  const WildcardPattern pattern(target.pattern);
  const std::string native_folder = context.charset.from_utf8(target.folder);
  const bool bare = options.format() == ListingFormat::bare;

  Listing listing;
  const ScanRequest request{native_folder, pattern, options.filter, !bare && target.folder != "/",
                            needs_stat(options)};
  switch (scan_folder(request, context.charset, listing)) {
    case ScanResult::ok:
      break;
    case ScanResult::not_found:
      report({CommandError::Kind::file_not_found, {}}, language, err);
      return 1;
    case ScanResult::access_denied:
      report({CommandError::Kind::access_denied, {}}, language, err);
      return 1;
  }

  FolderSummary summary{target.folder, 0};
  if (listing.entries().empty()) {
    if (!bare) write_header(summary, language, out);
    out.flush();
    report({CommandError::Kind::file_not_found, {}}, language, err);
    return 1;
  }
  NameCollator collator(context.locale.collation_locale);
  sort_listing(listing, options.sort, collator);
  if (!bare) summary.free_bytes = free_bytes(native_folder);
  write_listing(listing, {options.format(), options.lower_case, language}, summary, out);
  out.flush();
  return 0;
}

}  // namespace quernel::cmd
