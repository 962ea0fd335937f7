#pragma once

#include <string>

#include "design/text.h"

// The listing that `cmd /u` wrote, made the platform's Unicode text.
namespace quernel::win32 {

// Turns the UTF-16LE listing that `cmd /u` wrote into UTF-8 with a byte-order mark, so that
// Notepad never has to guess. It is converted 64 KiB at a time into a new file beside it, which
// then takes its place in one rename: the listing is either wholly converted or as it was.
// Returns why it could not (the listing is then left as cmd wrote it); empty when it was
// converted, or when there is no listing to convert (the caller reports a missing listing itself).
Text ListingToUtf8(const std::wstring& listingPath);

}  // namespace quernel::win32
