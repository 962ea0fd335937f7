#include "quernel-cmd/dir_options.h"

#include <string_view>

#include "base/ascii.h"

namespace quernel::cmd {

namespace {

std::optional<std::uint8_t> AttributeBit(char letter) {
  switch (LowerAscii(letter)) {
    case 'd':
      return attribute::directory;
    case 'h':
      return attribute::hidden;
    case 's':
      return attribute::system;
    case 'r':
      return attribute::read_only;
    case 'a':
      return attribute::archive;
    default:
      return std::nullopt;
  }
}

std::optional<SortField> SortField(char letter) {
  switch (LowerAscii(letter)) {
    case 'n':
      return SortField::Name;
    case 's':
      return SortField::Size;
    case 'e':
      return SortField::Extension;
    case 'd':
      return SortField::Date;
    case 'g':
      return SortField::Group;
    default:
      return std::nullopt;
  }
}

// Letters after /a or /o, each optionally preceded by '-'. Calls
// `accept(letter, negated)`, which returns false for an unknown letter.
template <typename Accept>
bool ParseLetters(std::string_view letters, Accept accept) {
  bool negated = false;
  for (char c : letters) {
    if (c == '-' && !negated) {
      negated = true;
      continue;
    }
    if (!accept(c, negated)) return false;
    negated = false;
  }
  return !negated;
}

std::optional<AttributeFilter> ParseAttributes(std::string_view letters) {
  AttributeFilter filter{0, 0};
  const bool ok = ParseLetters(letters, [&](char c, bool negated) {
    const auto bit = AttributeBit(c);
    if (bit) (negated ? filter.excluded : filter.required) |= *bit;
    return bit.has_value();
  });
  return ok ? std::optional(filter) : std::nullopt;
}

std::optional<std::vector<SortKey>> ParseSort(std::string_view letters) {
  if (letters.empty()) return std::vector<SortKey>{{SortField::Group, false}, {SortField::Name, false}};
  std::vector<SortKey> keys;
  const bool ok = ParseLetters(letters, [&](char c, bool negated) {
    const auto field = SortField(c);
    if (field) keys.push_back({*field, negated});
    return field.has_value();
  });
  return ok ? std::optional(keys) : std::nullopt;
}

// Applies one switch without its slash, e.g. "o:-n".
Result<void, CommandError> ApplySwitch(std::string_view text, DirOptions& options) {
  const char letter = LowerAscii(text[0]);
  std::string_view rest = text.substr(1);
  const bool has_value = letter == 'a' || letter == 'o';
  if (has_value && rest.starts_with(':')) rest.remove_prefix(1);
  const auto bad_value = Fail(CommandError{CommandError::Kind::ParameterFormat, std::string(rest)});
  switch (letter) {
    case 'a':
      if (const auto filter = ParseAttributes(rest)) {
        options.filter = *filter;
        return {};
      }
      return bad_value;
    case 'o':
      if (auto keys = ParseSort(rest)) {
        options.sort = std::move(*keys);
        return {};
      }
      return bad_value;
    case 'l':
    case 'w':
    case 'b':
      if (!rest.empty()) break;
      (letter == 'l' ? options.lower_case : letter == 'w' ? options.wide : options.bare) = true;
      return {};
    default:
      break;
  }
  return Fail(CommandError{CommandError::Kind::InvalidSwitch, std::string(text)});
}

std::vector<std::string_view> SwitchParts(std::string_view word) {
  std::vector<std::string_view> parts;
  while (!word.empty()) {
    word.remove_prefix(1);
    const std::size_t next = word.find('/');
    parts.push_back(word.substr(0, next));
    word = next == std::string_view::npos ? std::string_view{} : word.substr(next);
  }
  return parts;
}

bool IsSwitch(const Word& word) {
  const std::string_view text = word.text;
  if (word.quoted || text.size() < 2 || text[0] != '/') return false;
  if (text.size() == 2 || text[2] == ':') return true;
  DirOptions scratch;
  for (std::string_view part : SwitchParts(text))
    if (part.empty() || !ApplySwitch(part, scratch)) return false;
  return true;
}

}  // namespace

Result<void, CommandError> ParseDirArguments(const std::vector<Word>& words, DirOptions& options) {
  for (const Word& word : words) {
    if (!IsSwitch(word)) {
      if (options.path) return Fail(CommandError{CommandError::Kind::TooManyParameters, word.text});
      options.path = word.text;
      continue;
    }
    for (std::string_view part : SwitchParts(word.text)) {
      if (part.empty()) return Fail(CommandError{CommandError::Kind::InvalidSwitch, ""});
      if (auto applied = ApplySwitch(part, options); !applied) return applied;
    }
  }
  return {};
}

}  // namespace quernel::cmd
