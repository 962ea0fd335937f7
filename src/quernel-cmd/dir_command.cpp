#include "quernel-cmd/dir_command.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>

#include "quernel-cmd/formatting.h"
#include "quernel-cmd/scan.h"
#include "quernel-cmd/sorting.h"
#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

std::uint64_t FreeBytes(const std::string& native_folder) {
  struct statvfs info {};
  if (statvfs(native_folder.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.f_bavail) * static_cast<std::uint64_t>(info.f_frsize);
}

bool NeedsStat(const DirOptions& options) {
  const bool sorts_by_facts = std::any_of(options.sort.begin(), options.sort.end(), [](const SortKey& key) {
    return key.field == SortField::Size || key.field == SortField::Date;
  });
  return options.Format() != ListingFormat::Bare || sorts_by_facts ||
         options.filter.Involves(attribute::read_only);
}

void Report(const CommandError& error, Language language, TextSink& err) {
  err.Write(Describe(error, language) + "\n");
  err.Flush();
}

}  // namespace

DirStatus RunDir(const DirOptions& options, DirContext& context, TextSink& out, TextSink& err) {
  const Language language = context.locale.language;
  const auto is_directory = [&](const std::string& path) {
    struct stat info {};
    return stat(HostPath(path, context.charset).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  };
  const ListingTarget target = ResolveTarget(options.path.value_or(""), context.cwd, is_directory);
  const WildcardPattern pattern(target.pattern);
  const std::string native_folder = HostPath(target.folder, context.charset);
  const bool bare = options.Format() == ListingFormat::Bare;

  const ScanRequest request{native_folder, pattern, options.filter, !bare && target.folder != "/",
                            NeedsStat(options)};
  FolderSummary summary{WithoutControlCharacters(target.folder), 0};
  Listing listing;
  std::size_t listed = 0;
  ScanResult scan;
  if (bare && options.sort.empty()) {
    // Nothing to order and no totals: each name goes out as it is read.
    scan = ScanFolder(request, context.charset, [&](std::string_view name, const EntryFacts&) {
      if (options.lower_case)
        out.Write(ToLower(name));
      else
        out.Write(name);
      out.Write("\r\n");
      ++listed;
    });
  } else {
    scan = ScanFolder(request, context.charset, listing);
    listed = listing.Entries().size();
  }
  if (scan.error == ENOENT || scan.error == ENOTDIR) {
    Report({CommandError::Kind::FileNotFound, {}}, language, err);
    return {1, false};
  }
  if (scan.error != 0) {
    Report(ErrorFromErrno(scan.error, context.charset), language, err);
    return {1, true};
  }

  if (listed == 0) {
    if (!bare) WriteHeader(summary, language, out);
  } else if (!listing.Entries().empty()) {
    NameCollator collator(context.locale.collation_locale);
    SortListing(listing, options.sort, collator);
    if (!bare) summary.free_bytes = FreeBytes(native_folder);
    WriteListing(listing, {options.Format(), options.lower_case, language}, summary, out);
  }
  out.Flush();
  if (!scan.unreadable.empty()) {
    std::sort(scan.unreadable.begin(), scan.unreadable.end());
    std::string names;
    for (const std::string& name : scan.unreadable) (names += name) += '\n';
    err.Write(names);
    Report(ErrorFromErrno(scan.unreadable_error, context.charset), language, err);
    return {listed == 0 ? 1 : 0, true};
  }
  if (listed == 0) {
    Report({CommandError::Kind::FileNotFound, {}}, language, err);
    return {1, false};
  }
  return {0, false};
}

}  // namespace quernel::cmd
