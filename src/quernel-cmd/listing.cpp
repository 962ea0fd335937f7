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
  entries_.push_back(Entry{facts, Append(names_, utf8_name), {}, {}});
}

}  // namespace quernel::cmd
