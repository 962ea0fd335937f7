#include "core/listing_options.h"

#include <array>

#include "design/program_texts.h"

namespace quernel {
namespace {

using enum ControlId;

constexpr std::array<AttributeMode, 4> kAttributeModes{{
    {"默认", " ", " ", false},
    {"全部显示", " /a", " ", false},
    {"显示指定项", " /a:", std::nullopt, true},
    {"不显示指定项", " /a:-", std::nullopt, true},
}};

constexpr std::array<AttributeButton, 5> kAttributeButtons{{
    {optD, "d"},
    {optR, "r"},
    {optS, "s"},
    {optH, "h"},
    {optA, "a"},
}};

constexpr std::array<SortKey, 5> kSortKeys{{
    {"名称", "n"},
    {"大小", "s"},
    {"日期", "d"},
    {"组别", "g"},
    {"扩展名", "e"},
}};

constexpr std::array<SortDirection, 3> kSortDirections{{
    {"", ""},
    {"顺序", ""},
    {"逆序", "-"},
}};

constexpr std::array<std::string_view, 6> kFilePatterns{
    "*.*", "*.txt", "*.mp3", "*.htm", "*.exe", "*.avi",
};

const std::array<StyleBox, 3> kStyleBoxes{{
    {chkL, &ListOptions::strLower, " /l"},
    {chkT, &ListOptions::strBare, " /B"},
    {chkW, &ListOptions::strWide, " /w"},
}};

}  // namespace

std::span<const AttributeMode> AttributeModes() {
  return kAttributeModes;
}
std::span<const AttributeButton> AttributeButtons() {
  return kAttributeButtons;
}
std::span<const SortKey> SortKeys() {
  return kSortKeys;
}
std::span<const SortDirection> SortDirections() {
  return kSortDirections;
}
std::span<const std::string_view> FilePatterns() {
  return kFilePatterns;
}
std::span<const StyleBox> StyleBoxes() {
  return kStyleBoxes;
}

Text FolderWithBackslash(const Text& folder) {
  if (!folder.empty() && folder.back() == '\\') return folder;
  return folder + '\\';
}

Text ListingCommand(const ListOptions& o, const Text& programFolder) {
  Text command = "dir ";
  command += '"';
  command += o.strFolder + o.strFilter;
  command += '"';
  command += ' ';
  command += o.strAttrSwitch + o.strAttrValue;
  command += " /o:";
  command += o.strSortDir + o.strSortKey;
  command += o.strLower + o.strWide + o.strBare;
  command += " >";
  command += '"';
  command += programFolder;
  command += texts::kListingFileNameInCommand;
  command += '"';
  return command;
}

Text BatchFileText(const Text& command, PercentSigns percentSigns) {
  Text text;
  text.reserve(command.size() + 10);
  for (char c : command) {
    text += c;
    if (c == '%' && percentSigns == PercentSigns::AreLiteral) text += '%';
  }
  text += "\r\nexit\r\n";
  return text;
}

}  // namespace quernel
