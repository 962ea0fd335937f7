#include "quernel-cmd/listing.h"

#include <limits>
#include <stdexcept>

namespace quernel::cmd {

PoolSlice Listing::Append(std::string& pool, std::string_view bytes) {
  if (pool.size() + bytes.size() > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("listing exceeds 4 GiB of names");
  const PoolSlice slice{static_cast<std::uint32_t>(pool.size()), static_cast<std::uint32_t>(bytes.size())};
  pool += bytes;
  return slice;
}

void Listing::Add(std::string_view utf8_name, const EntryFacts& facts) {
  Entry entry;
  entry.name = Append(names_, utf8_name);
  entry.size = facts.size;
  entry.modified_seconds = facts.modified_seconds;
  entry.modified_nanoseconds = facts.modified_nanoseconds;
  entry.attributes = facts.attributes;
  entry.details_known = facts.details_known;
  entries_.push_back(entry);
}

}  // namespace quernel::cmd
