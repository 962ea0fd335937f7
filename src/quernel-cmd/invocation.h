#pragma once

#include <optional>
#include <span>
#include <string>

namespace quernel::cmd {

inline constexpr const char* kUsage = "usage: quernel-cmd [/u] [/d] [/v:off] /c FILE.bat\n";

// How quernel-cmd was called: cmd's switches, then /c and the batch file.
struct Invocation {
  std::string batch_file;  // as given, in the locale's character set
  bool unicode = false;    // /u: the listing in UTF-8, whatever the locale
};

// Before /c, in any case and order, the switches cmd takes that change
// nothing a batch of dir and exit could tell (/d, /v:off) or the listing's
// character set (/u; /a, the default, undoes it; the last one counts).
// Anything else, or not exactly one word after /c, is nullopt.
std::optional<Invocation> ParseInvocation(std::span<const char* const> arguments);

}  // namespace quernel::cmd
