#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "design/form_design.h"
#include "design/text.h"

// The listing options: the nine command-line fragments that the window's
// controls select, the fixed lists that select them, and the `dir` command
// assembled from them.
namespace quernel {

// Each fragment is stored ready to paste: with its leading space where it has
// one, empty where the switch is absent.
struct ListOptions {
  Text strAttrSwitch;
  Text strAttrValue;
  Text strFilter;
  Text strFolder;
  Text strSortKey;
  Text strSortDir;
  Text strLower;
  Text strWide;
  Text strBare;
  friend bool operator==(const ListOptions&, const ListOptions&) = default;
};

// cobType: what an attribute mode does to the options and the buttons.
struct AttributeMode {
  std::string_view entry;
  std::string_view attrSwitch;
  std::optional<std::string_view> attrValue;  // nullopt: left unchanged
  bool attributeButtonsEnabled;
};
struct AttributeButton {
  ControlId button;
  std::string_view letter;
};
struct SortKey {
  std::string_view entry;
  std::string_view key;
};
struct SortDirection {
  std::string_view entry;
  std::string_view sign;
};
struct StyleBox {
  ControlId box;
  Text ListOptions::*fragment;
  std::string_view whenChecked;
};

std::span<const AttributeMode> AttributeModes();
std::span<const AttributeButton> AttributeButtons();
std::span<const SortKey> SortKeys();
std::span<const SortDirection> SortDirections();
std::span<const std::string_view> FilePatterns();
std::span<const StyleBox> StyleBoxes();

// The folder as the command takes it: with one backslash appended unless the
// text already ends in one (an empty text gives "\" alone).
Text FolderWithBackslash(const Text& folder);

// The one `dir` command line: the nineteen pieces joined as they are.
Text ListingCommand(const ListOptions& options, const Text& programFolder);

// The batch file's text: the command and "exit", each ended by CR LF. Every
// "%" is doubled so that cmd takes it literally, unless the command's percent
// signs name variables of the run ("%NAME%").
enum class PercentSigns { AreLiteral, AreVariables };
Text BatchFileText(const Text& command, PercentSigns percentSigns = PercentSigns::AreLiteral);

}  // namespace quernel
