#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quernel::cmd {

// A slice of one of the listing's byte pools.
struct PoolSlice {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

// What a scan learns of an entry besides its name.
struct EntryFacts {
  std::int64_t size = 0;
  std::int64_t modified_seconds = 0;
  std::uint32_t modified_nanoseconds = 0;
  std::uint8_t attributes = 0;
  bool details_known = true;  // false: size and date could not be read
};

// One compact record per listed entry; names and sort keys live in pools
// so that a million entries cost a few dozen bytes each.
struct Entry : EntryFacts {
  PoolSlice name;
  PoolSlice name_key;
  PoolSlice extension_key;
};

class Listing {
 public:
  void Add(std::string_view utf8_name, const EntryFacts& facts);

  std::vector<Entry>& Entries() { return entries_; }
  const std::vector<Entry>& Entries() const { return entries_; }
  std::string_view Name(const Entry& entry) const { return View(names_, entry.name); }
  std::string_view Key(PoolSlice slice) const { return View(keys_, slice); }
  PoolSlice AddKey(std::string_view key) { return Append(keys_, key); }

 private:
  static PoolSlice Append(std::string& pool, std::string_view bytes);
  static std::string_view View(const std::string& pool, PoolSlice slice) {
    return std::string_view(pool).substr(slice.offset, slice.size);
  }

  std::vector<Entry> entries_;
  std::string names_;
  std::string keys_;
};

}  // namespace quernel::cmd
