#pragma once

#include <functional>
#include <string>
#include <string_view>

// Finding a host path whose names differ from the asked ones only in ASCII
// case, as Windows would find them: for the Windows-style names a program
// forms itself (cmd's "Path.txt"), never for a path the user gave, which is
// looked up as given. POSIX only, not built for Windows; reading a folder to
// find a name costs as much as the folder is long.
namespace quernel {

// A folder entry's name in the character set the path is compared in
// (identity when the host's names are in it already).
using NameDecoder = std::function<std::string(std::string_view hostName)>;

// `path` (the host's bytes, "/" between names) with each name that is not
// there as spelled replaced by the entry of its folder that equals it
// ignoring ASCII case. From the first name found in neither spelling on, the
// rest stays as given; a name without ASCII letters is never searched for.
// Empty names are dropped; "" is ".".
std::string ResolveIgnoringCase(std::string_view path, const NameDecoder& decode = nullptr);

}  // namespace quernel
