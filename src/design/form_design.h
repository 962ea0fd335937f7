#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The window frmMain as designed: one table that every back-end builds the
// window from and the tests check against. Units are twips (1/1440 inch;
// 15 twips are one pixel at 96 DPI). A control inside a frame is placed
// relative to the frame's outer top-left corner.
namespace quernel {

enum class ControlId : std::uint8_t {
  Label6,
  txtPath,
  cmdBrowse,
  Frame1,
  Label3,
  cobType,
  Label4,
  cobFilter,
  optD,
  optR,
  optS,
  optH,
  optA,
  Frame2,
  Label1,
  cobSort,
  Label2,
  cobWay,
  chkL,
  chkW,
  chkT,
  cmdAbout,
  cmdHelp,
  cmdOut,
  cmdExit,
  Label5,
  Line1,
  Line2,
};
inline constexpr int kControlCount = 28;

enum class ControlKind : std::uint8_t {
  PushButton,
  Frame,
  Label,
  TextField,
  PickList,      // drop-down list whose text the user cannot edit
  EditableList,  // drop-down list with an editable text
  OptionButton,
  CheckBox,
  Line,
};

struct Rgb {
  std::uint8_t red, green, blue;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};
inline constexpr Rgb kListBlue{0, 0, 255};

enum class Role : std::uint8_t { None, DefaultButton, CancelButton };

struct ControlDesign {
  ControlId id;
  std::string_view name;
  ControlKind kind;
  std::optional<ControlId> container;  // nullopt: the window itself
  std::string_view caption;            // "&" marks the access key
  int left, top, width, height;        // twips
  std::optional<int> tabIndex;         // nullopt: takes no focus
  int value = 0;                       // check box: 1 checked
  bool enabled = true;
  std::string_view hoverHint = {};
  Role role = Role::None;
  std::optional<Rgb> textColour = {};   // nullopt: the platform's default
  std::optional<ControlId> names = {};  // a label: the control it names
};

struct LineDesign {
  ControlId id;
  std::string_view name;
  int x1, y1, x2, y2;  // twips, window client coordinates
  Rgb colour;
};

struct FormDesign {
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
  int left, top;                  // design-time place of the client area
};

extern const FormDesign kFormDesign;

// The 26 controls that are not lines, in design order.
std::span<const ControlDesign> ControlDesigns();
// Line1 (grey) and Line2 (white): the etched separator at the foot.
std::span<const LineDesign> LineDesigns();

// The design of one control that is not a line.
const ControlDesign& DesignOf(ControlId id);
std::string_view NameOf(ControlId id);
std::optional<ControlId> ControlNamed(std::string_view name);

// Controls that take the focus, in focus order (lowest tab index first).
std::span<const ControlId> FocusOrder();

// The access key of a caption ('F' for "文件夹(&F):"), or nullopt.
std::optional<char> AccessKey(std::string_view caption);
// The caption as shown: without the "&" that marks the access key.
std::string ShownCaption(std::string_view caption);

inline constexpr int kTwipsPerPixelAt96Dpi = 15;

}  // namespace quernel
