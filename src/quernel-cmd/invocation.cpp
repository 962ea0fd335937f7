#include "quernel-cmd/invocation.h"

#include "quernel-cmd/text.h"

namespace quernel::cmd {

std::optional<Invocation> ParseInvocation(std::span<const char* const> arguments) {
  Invocation invocation;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view word = arguments[i];
    if (IequalsAscii(word, "/c")) {
      if (i + 2 != arguments.size()) return std::nullopt;
      invocation.batch_file = arguments[i + 1];
      return invocation;
    }
    if (IequalsAscii(word, "/u") || IequalsAscii(word, "/a"))
      invocation.unicode = IequalsAscii(word, "/u");
    else if (!IequalsAscii(word, "/d") && !IequalsAscii(word, "/v:off"))
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quernel::cmd
