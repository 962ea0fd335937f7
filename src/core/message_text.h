#pragma once

#include <string_view>

#include "design/text.h"
#include "platform/window_runtime.h"

// What the program's messages show of texts it does not control: paths and
// the interpreter's words. A message stays a few lines that read as written,
// whatever a file name holds.
namespace quernel {

// "{0}", "{1}" and "{2}" of a message template replaced by the arguments as
// given.
Text FillMessage(std::string_view message, const Text& arg0, const Text& arg1 = {}, const Text& arg2 = {});

// A path or a system's reason as a message shows it: printable, and at most
// kShownCharacters long, cut in the middle, where a path keeps its drive and
// its file name.
Text Shown(const Text& text);
inline constexpr std::size_t kShownCharacters = 300;

// A path as a message shows it: as Shown, each backslash (the program's
// separator) written as the separator the platform's users write.
Text ShownPath(Text path, char separator);

// The text with every character that would break a message's lines or turn
// its reading order shown as "<U+XXXX>": C0 and C1 controls, DEL, the line and
// paragraph separators and the bidirectional controls.
Text Printable(std::string_view text);

// What a message quotes of the interpreter's error output and exit code: a
// few non-blank lines, each printable and cut short, and the exit code when
// it is not 0. Empty when it wrote nothing there and ended with 0.
Text QuotedRunEnd(const RunEnd& end);

}  // namespace quernel
