#include "quernel-cmd/command_line.h"

namespace quernel::cmd {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads one word starting at `pos`, which must not be blank.
Word ReadWord(std::string_view line, std::size_t& pos) {
  Word word;
  bool in_quotes = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      in_quotes = !in_quotes;
      word.quoted = true;
    } else if (!in_quotes && (IsBlank(c) || c == '>' || c == '<' || c == '|' || c == '&')) {
      break;
    } else {
      word.text += c;
    }
  }
  return word;
}

void SkipBlanks(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
}

}  // namespace

std::string ExpandPercents(std::string_view line, const EnvironmentLookup& lookup,
                           std::string_view batch_path) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '%') {
      out += line[i];
      continue;
    }
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (next == '%') {
      out += '%';
      ++i;
    } else if (IsDigit(next) || next == '*') {
      if (next == '0') out += batch_path;
      ++i;
    } else if (const std::size_t close = line.find('%', i + 1); close != std::string_view::npos) {
      if (auto value = lookup(line.substr(i + 1, close - i - 1))) out += *value;
      i = close;
    }
  }
  return out;
}

Result<CommandLine, CommandError> ParseCommandLine(std::string_view line) {
  const auto syntax_error = Fail(CommandError{CommandError::Kind::Syntax, {}});
  CommandLine command;
  std::size_t pos = 0;
  for (SkipBlanks(line, pos); pos < line.size(); SkipBlanks(line, pos)) {
    const char c = line[pos];
    if (c == '<' || c == '|' || c == '&') return syntax_error;
    if (c != '>') {
      command.words.push_back(ReadWord(line, pos));
      continue;
    }
    Redirect redirect;
    ++pos;
    if (pos < line.size() && line[pos] == '>') {
      redirect.append = true;
      ++pos;
    }
    SkipBlanks(line, pos);
    if (pos == line.size() || line[pos] == '>') return syntax_error;
    redirect.target = ReadWord(line, pos).text;
    if (redirect.target.empty()) return syntax_error;
    command.redirect = std::move(redirect);
  }
  return command;
}

}  // namespace quernel::cmd
