#pragma once

#include <string>

#include "design/text.h"

namespace quernel::win32 {

// Turns the listing cmd /u wrote (UTF-16LE) into UTF-8 with a byte-order
// mark, in place. Returns why it could not; empty on success or when there is
// no listing.
Text ListingToUtf8(const std::wstring& listingPath);

}  // namespace quernel::win32
