#include "core/message_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/utf8.h"
#include "design/program_texts.h"

namespace quernel {
namespace {

// How much of the interpreter's error output a message quotes.
constexpr std::size_t kQuotedLines = 3;
constexpr std::size_t kQuotedLineCharacters = 100;

// Code points that break or reorder a message's lines, as closed ranges.
constexpr char32_t kBreaking[][2] = {
    {0x00, 0x1F},     {0x7F, 0x9F},  // C0 and C1 controls (with U+0085, the next line), DEL
    {0x061C, 0x061C},                // Arabic letter mark
    {0x200E, 0x200F},                // left-to-right and right-to-left marks
    {0x2028, 0x2029},                // line and paragraph separators
    {0x202A, 0x202E},                // embeddings and overrides
    {0x2066, 0x2069},                // isolates
};

bool Breaks(char32_t c) {
  for (const auto& [first, last] : kBreaking)
    if (c >= first && c <= last) return true;
  return false;
}

// At most `limit` characters: the start and the end, "…" between.
Text CutInTheMiddle(const Text& text, std::size_t limit) {
  std::vector<std::size_t> starts;  // of each character
  for (std::size_t i = 0; i < text.size(); NextCodePoint(text, i)) starts.push_back(i);
  if (starts.size() <= limit) return text;
  const std::size_t head = (limit - 1) / 2, tail = limit - 1 - head;
  return text.substr(0, starts[head]) + "…" + text.substr(starts[starts.size() - tail]);
}

// The line without its blanks at both ends, printable, cut after `limit`
// characters.
Text Trimmed(std::string_view line, std::size_t limit) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const Text printable = Printable(line.substr(first, line.find_last_not_of(" \t\r") - first + 1));
  std::size_t characters = 0;
  for (std::size_t i = 0; i < printable.size(); NextCodePoint(printable, i))
    if (++characters > limit) return printable.substr(0, i) + "…";
  return printable;
}

std::vector<Text> NonBlankLines(std::string_view words, std::size_t limit) {
  std::vector<Text> lines;
  for (std::size_t start = 0; start < words.size();) {
    std::size_t stop = words.find('\n', start);
    if (stop == std::string_view::npos) stop = words.size();
    if (Text line = Trimmed(words.substr(start, stop - start), limit); !line.empty())
      lines.push_back(std::move(line));
    start = stop + 1;
  }
  return lines;
}

}  // namespace

Text Printable(std::string_view text) {
  Text printable;
  printable.reserve(text.size());
  for (std::size_t i = 0, next = 0; i < text.size(); i = next) {
    const char32_t c = NextCodePoint(text, next);
    if (c == '\t') {
      printable += ' ';
    } else if (Breaks(c)) {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "<U+%04X>", static_cast<unsigned>(c));
      printable += escaped;
    } else {
      printable.append(text.substr(i, next - i));
    }
  }
  return printable;
}

Text FillMessage(std::string_view message, const Text& arg0, const Text& arg1, const Text& arg2) {
  const Text* args[] = {&arg0, &arg1, &arg2};
  Text filled;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (const auto field = message.substr(i, 3);
        field.size() == 3 && field[0] == '{' && field[1] >= '0' && field[1] <= '2' && field[2] == '}') {
      filled += *args[field[1] - '0'];
      i += 2;
    } else {
      filled += message[i];
    }
  }
  return filled;
}

Text Shown(const Text& text) {
  return CutInTheMiddle(Printable(text), kShownCharacters);
}

Text ShownPath(Text path, char separator) {
  std::replace(path.begin(), path.end(), '\\', separator);
  return Shown(path);
}

Text QuotedRunEnd(const RunEnd& end) {
  std::vector<Text> lines = NonBlankLines(end.errorOutput, kQuotedLineCharacters);
  if (lines.size() > kQuotedLines) {
    lines.resize(kQuotedLines);
    lines.push_back("……");
  }
  if (end.exitCode != 0) lines.push_back(FillMessage(texts::kExitCode, std::to_string(end.exitCode)));
  Text quoted;
  for (const Text& line : lines) quoted += (quoted.empty() ? "" : "\r") + line;
  return quoted;
}

}  // namespace quernel
