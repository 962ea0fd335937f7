#include "quernel-cmd/sorting.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/ascii.h"
#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

int CompareBytes(std::string_view a, std::string_view b) {
  const int common = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (common != 0) return common;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

template <typename T>
int CompareValues(T a, T b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

// Case-insensitive code point order, then plain bytes: the folder order.
int CompareFolderOrder(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const auto byte_a = static_cast<unsigned char>(a[i]);
    const auto byte_b = static_cast<unsigned char>(b[j]);
    char32_t ca = byte_a;
    char32_t cb = byte_b;
    if (byte_a < 0x80 && byte_b < 0x80) {
      ++i;
      ++j;
      ca = UpperAscii(ca);
      cb = UpperAscii(cb);
    } else {
      ca = FoldCase(NextCodePoint(a, i));
      cb = FoldCase(NextCodePoint(b, j));
    }
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return CompareBytes(a, b);
}

class EntryOrder {
 public:
  EntryOrder(const Listing& listing, const std::vector<SortKey>& keys) : listing_(listing), keys_(keys) {}

  bool operator()(const Entry& a, const Entry& b) const {
    for (const SortKey& key : keys_) {
      const int order = Compare(a, b, key.field);
      if (order != 0) return key.descending ? order > 0 : order < 0;
    }
    return CompareFolderOrder(listing_.Name(a), listing_.Name(b)) < 0;
  }

 private:
  int Compare(const Entry& a, const Entry& b, SortField field) const {
    switch (field) {
      case SortField::Name:
        return CompareBytes(listing_.Key(a.name_key), listing_.Key(b.name_key));
      case SortField::Extension:
        return CompareBytes(listing_.Key(a.extension_key), listing_.Key(b.extension_key));
      case SortField::Size:
        return CompareValues(a.size, b.size);
      case SortField::Date:
        if (a.modified_seconds != b.modified_seconds)
          return CompareValues(a.modified_seconds, b.modified_seconds);
        return CompareValues(a.modified_nanoseconds, b.modified_nanoseconds);
      case SortField::Group:
        return CompareValues(!(a.attributes & attribute::directory), !(b.attributes & attribute::directory));
    }
    return 0;
  }

  const Listing& listing_;
  const std::vector<SortKey>& keys_;
};

bool Uses(const std::vector<SortKey>& keys, SortField field) {
  return std::any_of(keys.begin(), keys.end(), [field](const SortKey& key) { return key.field == field; });
}

// An entry's name sort key, for sorting by name alone.
struct KeyedEntry {
  const unsigned char* key;
  std::uint32_t size;
  std::uint32_t index;
};

class NameKeySorter {
 public:
  NameKeySorter(const Listing& listing, std::vector<KeyedEntry>& items)
      : listing_(listing), spare_(items.size()) {}

  // Orders the items by key bytes, most significant first, bucket by bucket;
  // equal keys in the folder order.
  void Sort(KeyedEntry* begin, KeyedEntry* end, std::size_t depth) {
    while (end - begin > small_range) {
      std::size_t counts[257] = {};
      for (const KeyedEntry* item = begin; item != end; ++item) ++counts[Bucket(*item, depth)];
      if (counts[0] == 0 && std::any_of(std::begin(counts), std::end(counts), [&](std::size_t n) {
            return n == static_cast<std::size_t>(end - begin);
          })) {
        ++depth;  // every key has the same byte here
        continue;
      }
      std::size_t starts[257];
      std::size_t next = 0;
      for (std::size_t b = 0; b < 257; ++b) {
        starts[b] = next;
        next += counts[b];
      }
      std::size_t fill[257];
      std::copy(std::begin(starts), std::end(starts), std::begin(fill));
      for (const KeyedEntry* item = begin; item != end; ++item) spare_[fill[Bucket(*item, depth)]++] = *item;
      std::copy(spare_.begin(), spare_.begin() + (end - begin), begin);
      SortEqualKeys(begin, begin + counts[0]);
      for (std::size_t b = 1; b < 257; ++b)
        if (counts[b] > 1) Sort(begin + starts[b], begin + starts[b] + counts[b], depth + 1);
      return;
    }
    std::sort(begin, end, [this, depth](const KeyedEntry& a, const KeyedEntry& b) {
      const std::size_t common =
          std::min(a.size, b.size) - std::min<std::size_t>(depth, std::min(a.size, b.size));
      const int order = common == 0 ? 0 : std::memcmp(a.key + depth, b.key + depth, common);
      if (order != 0) return order < 0;
      if (a.size != b.size) return a.size < b.size;
      return FolderOrderBefore(a, b);
    });
  }

  static bool SameKey(const KeyedEntry& a, const KeyedEntry& b) {
    return a.size == b.size && std::memcmp(a.key, b.key, a.size) == 0;
  }

 private:
  static constexpr std::ptrdiff_t small_range = 32;

  static std::size_t Bucket(const KeyedEntry& item, std::size_t depth) {
    return depth < item.size ? std::size_t{item.key[depth]} + 1 : 0;
  }

  bool FolderOrderBefore(const KeyedEntry& a, const KeyedEntry& b) const {
    const auto& entries = listing_.Entries();
    return CompareFolderOrder(listing_.Name(entries[a.index]), listing_.Name(entries[b.index])) < 0;
  }

  void SortEqualKeys(KeyedEntry* begin, KeyedEntry* end) {
    if (end - begin > 1)
      std::sort(begin, end,
                [this](const KeyedEntry& a, const KeyedEntry& b) { return FolderOrderBefore(a, b); });
  }

  const Listing& listing_;
  std::vector<KeyedEntry> spare_;
};

// By name alone, as Quernel asks for most: a radix sort of the sort keys.
void SortByNameKey(Listing& listing, bool descending) {
  std::vector<Entry>& entries = listing.Entries();
  std::vector<KeyedEntry> items(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view key = listing.Key(entries[i].name_key);
    items[i] = {reinterpret_cast<const unsigned char*>(key.data()), static_cast<std::uint32_t>(key.size()),
                static_cast<std::uint32_t>(i)};
  }
  NameKeySorter(listing, items).Sort(items.data(), items.data() + items.size(), 0);
  if (descending) {
    // Names reversed; entries of equal keys stay in the folder order.
    std::reverse(items.begin(), items.end());
    for (auto run = items.begin(); run != items.end();) {
      auto run_end = run + 1;
      while (run_end != items.end() && NameKeySorter::SameKey(*run, *run_end)) ++run_end;
      std::reverse(run, run_end);
      run = run_end;
    }
  }
  // Entries into their places in place, cycle by cycle: position i takes
  // the entry at items[i].index.
  constexpr std::uint32_t placed = std::numeric_limits<std::uint32_t>::max();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].index == placed) continue;
    const Entry first = entries[i];
    std::size_t at = i;
    while (items[at].index != i) {
      const std::size_t from = items[at].index;
      entries[at] = entries[from];
      items[at].index = placed;
      at = from;
    }
    entries[at] = first;
    items[at].index = placed;
  }
}

}  // namespace

NameCollator::NameCollator(const std::string& icu_locale) {
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open(icu_locale.c_str(), &status);
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    collator_ = ucol_open("", &status);
  }
  if (collator_ == nullptr) return;
  ucol_setStrength(collator_, UCOL_SECONDARY);
  // CLDR moves the locale's own script first (Han before Latin for zh);
  // Windows keeps one script order everywhere, with Latin first.
  const int32_t no_reordering[] = {UCOL_REORDER_CODE_NONE};
  status = U_ZERO_ERROR;
  ucol_setReorderCodes(collator_, no_reordering, 1, &status);
}

NameCollator::~NameCollator() {
  ucol_close(collator_);
}

void NameCollator::SortKey(std::string_view utf8, std::string& key) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  utf16_.resize(utf8.size() + 1);
  u_strFromUTF8WithSub(utf16_.data(), static_cast<int32_t>(utf16_.size()), &length, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  key.clear();
  if (U_FAILURE(status) || collator_ == nullptr) {
    key.assign(utf8);
    return;
  }
  key.resize(std::max<std::size_t>(key.capacity(), 64));
  for (;;) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(key.data());
    const int32_t needed =
        ucol_getSortKey(collator_, utf16_.data(), length, bytes, static_cast<int32_t>(key.size()));
    if (static_cast<std::size_t>(needed) <= key.size()) {
      key.resize(static_cast<std::size_t>(needed > 0 ? needed - 1 : 0));  // drop the final NUL
      return;
    }
    key.resize(static_cast<std::size_t>(needed));
  }
}

std::string_view ExtensionOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

void SortListing(Listing& listing, const std::vector<SortKey>& keys, NameCollator& collator) {
  const bool by_name = Uses(keys, SortField::Name);
  const bool by_extension = Uses(keys, SortField::Extension);
  std::string key;
  for (Entry& entry : listing.Entries()) {
    if (by_name) {
      collator.SortKey(listing.Name(entry), key);
      entry.name_key = listing.AddKey(key);
    }
    if (by_extension) {
      collator.SortKey(ExtensionOf(listing.Name(entry)), key);
      entry.extension_key = listing.AddKey(key);
    }
  }
  if (keys.size() == 1 && keys[0].field == SortField::Name)
    SortByNameKey(listing, keys[0].descending);
  else
    std::sort(listing.Entries().begin(), listing.Entries().end(), EntryOrder(listing, keys));
}

}  // namespace quernel::cmd
