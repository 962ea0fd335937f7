#include "quernel-cmd/invocation.h"

#include "base/ascii.h"
#include "quernel-cmd/text.h"

namespace quernel::cmd {

std::optional<Invocation> ParseInvocation(std::span<const char* const> arguments) {
  Invocation invocation;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view word = arguments[i];
    if (EqualIgnoringAsciiCase(word, "/c")) {
      if (i + 2 != arguments.size()) return std::nullopt;
      invocation.batch_file = arguments[i + 1];
      return invocation;
    }
    if (EqualIgnoringAsciiCase(word, "/u") || EqualIgnoringAsciiCase(word, "/a"))
      invocation.unicode = EqualIgnoringAsciiCase(word, "/u");
    else if (!EqualIgnoringAsciiCase(word, "/d") && !EqualIgnoringAsciiCase(word, "/v:off"))
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quernel::cmd
