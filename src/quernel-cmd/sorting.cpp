#include "quernel-cmd/sorting.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>

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

char32_t UpperAscii(char32_t c) {
  return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
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
      const int order = compare(a, b, key.field);
      if (order != 0) return key.descending ? order > 0 : order < 0;
    }
    return CompareFolderOrder(listing_.Name(a), listing_.Name(b)) < 0;
  }

 private:
  int compare(const Entry& a, const Entry& b, SortField field) const {
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
  std::sort(listing.Entries().begin(), listing.Entries().end(), EntryOrder(listing, keys));
}

}  // namespace quernel::cmd
