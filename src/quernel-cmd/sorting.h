#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quernel-cmd/dir_options.h"
#include "quernel-cmd/listing.h"

struct UCollator;

namespace quernel::cmd {

// Names in the order cmd's /o:n gives them on Windows: the locale's
// linguistic order, ignoring case but not punctuation (so under Chinese
// locales Latin comes first and Chinese follows in pinyin order). glibc's
// strcoll is no substitute: its zh_CN order skips punctuation and puts
// Chinese before Latin.
class NameCollator {
 public:
  explicit NameCollator(const std::string& icu_locale);
  ~NameCollator();
  NameCollator(const NameCollator&) = delete;
  NameCollator& operator=(const NameCollator&) = delete;

  // A byte string whose binary order is the collation order.
  void SortKey(std::string_view utf8, std::string& key);

 private:
  UCollator* collator_;
  std::u16string utf16_;
};

// Orders the entries by the keys, each later key breaking ties of the ones
// before. Sort keys are computed once per entry so that a million names
// sort in seconds. Entries still equal stay in the folder's own order,
// which on NTFS is by upper-cased name.
void SortListing(Listing& listing, const std::vector<SortKey>& keys, NameCollator& collator);

// The part after the last dot, empty without one.
std::string_view ExtensionOf(std::string_view name);

}  // namespace quernel::cmd
