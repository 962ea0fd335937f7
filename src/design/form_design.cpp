#include "design/form_design.h"

#include <algorithm>
#include <cstdlib>

#include "design/program_texts.h"

namespace quernel {
namespace {

using enum ControlId;
using enum ControlKind;

// clang-format off
constexpr std::array<ControlDesign, 26> kControls{{
//  id         name         kind          in       caption                      left  top   width height tab
  {Label6,    "Label6",    Label,        {},      "文件夹(&F):",               90,   225,  900,  180,  {},
   0, true, {}, Role::None, {}, txtPath},
  {txtPath,   "txtPath",   TextField,    {},      "",                          1080, 180,  4245, 330,  2,
   0, true, texts::kFolderHint},
  {cmdBrowse, "cmdBrowse", PushButton,   {},      "浏览(&B)",                  5400, 180,  915,  350,  1},
  {Frame1,    "Frame1",    Frame,        {},      "打印内容",                  90,   585,  3525, 2220, {},
   0, true, {}, Role::None, kListBlue},
  {Label3,    "Label3",    Label,        Frame1,  "文件类型:",                 135,  315,  810,  180,  {},
   0, true, {}, Role::None, {}, cobType},
  {cobType,   "cobType",   PickList,     Frame1,  "",                          945,  225,  2500, 300,  19,
   0, true, {}, Role::None, kListBlue},
  {Label4,    "Label4",    Label,        Frame1,  "后缀过滤:",                 135,  675,  810,  180,  {},
   0, true, {}, Role::None, {}, cobFilter},
  {cobFilter, "cobFilter", EditableList, Frame1,  "",                          945,  585,  2500, 300,  21,
   0, true, {}, Role::None, kListBlue},
  {optD,      "optD",      OptionButton, Frame1,  "文件夹(&D)",                165,  1080, 2490, 285,  18},
  {optR,      "optR",      OptionButton, Frame1,  "只读属性(&R)",              165,  1440, 1500, 285,  14},
  {optS,      "optS",      OptionButton, Frame1,  "系统属性(&S)",              1530, 1440, 1500, 285,  16},
  {optH,      "optH",      OptionButton, Frame1,  "隐藏属性(&H)",              165,  1800, 1500, 285,  15},
  {optA,      "optA",      OptionButton, Frame1,  "存档属性(&A)",              1530, 1800, 1500, 285,  17},
  {Frame2,    "Frame2",    Frame,        {},      "打印样式",                  3645, 585,  2580, 2220, {},
   0, true, {}, Role::None, kListBlue},
  {Label1,    "Label1",    Label,        Frame2,  "排序根据",                  180,  315,  720,  180,  {},
   0, true, {}, Role::None, {}, cobSort},
  {cobSort,   "cobSort",   PickList,     Frame2,  "",                          1035, 225,  1365, 300,  5,
   0, true, {}, Role::None, kListBlue},
  {Label2,    "Label2",    Label,        Frame2,  "排序方向",                  180,  630,  720,  180,  {},
   0, true, {}, Role::None, {}, cobWay},
  {cobWay,    "cobWay",    PickList,     Frame2,  "",                          1035, 585,  1365, 300,  9,
   0, true, {}, Role::None, kListBlue},
  {chkL,      "chkL",      CheckBox,     Frame2,  "字母小写(&L)",              135,  1125, 1500, 240,  6},
  {chkW,      "chkW",      CheckBox,     Frame2,  "多列显示(&W)",              135,  1485, 1995, 240,  25},
  {chkT,      "chkT",      CheckBox,     Frame2,  "单列显示-无详细信息(&T)",   135,  1845, 2400, 195,  7,
   1},
  {cmdAbout,  "cmdAbout",  PushButton,   {},      "关于(&B)",                  2250, 2925, 900,  350,  11},
  {cmdHelp,   "cmdHelp",   PushButton,   {},      "帮助(&P)",                  3285, 2925, 900,  350,  12},
  {cmdOut,    "cmdOut",    PushButton,   {},      "输出(&O)",                  4275, 2925, 900,  350,  0,
   0, true, {}, Role::DefaultButton},
  {cmdExit,   "cmdExit",   PushButton,   {},      "退出(&X)",                  5310, 2925, 900,  350,  13,
   0, true, {}, Role::CancelButton},
  {Label5,    "Label5",    Label,        {},      texts::kCopyright,           135,  3330, 1890, 180,  {},
   0, false},
}};

constexpr std::array<LineDesign, 2> kLines{{
  {Line1, "Line1", -30, 3405, 6470, 3405, {128, 128, 128}},
  {Line2, "Line2", -30, 3420, 6470, 3420, {255, 255, 255}},
}};
// clang-format on

constexpr std::array<ControlId, 18> MakeFocusOrder() {
  std::array<const ControlDesign*, 18> focusable{};
  std::size_t n = 0;
  for (const auto& c : kControls)
    if (c.tabIndex) focusable[n++] = &c;
  std::sort(focusable.begin(), focusable.end(), [](auto* a, auto* b) { return *a->tabIndex < *b->tabIndex; });
  std::array<ControlId, 18> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = focusable[i]->id;
  return order;
}
constexpr std::array<ControlId, 18> kFocusOrder = MakeFocusOrder();

}  // namespace

const FormDesign kFormDesign{texts::kAppTitle, 6390, 3600, 4410, 3810};

std::span<const ControlDesign> ControlDesigns() {
  return kControls;
}
std::span<const LineDesign> LineDesigns() {
  return kLines;
}
std::span<const ControlId> FocusOrder() {
  return kFocusOrder;
}

const ControlDesign& DesignOf(ControlId id) {
  auto it =
      std::find_if(kControls.begin(), kControls.end(), [id](const ControlDesign& c) { return c.id == id; });
  if (it == kControls.end()) std::abort();  // a line: use LineDesigns()
  return *it;
}

std::string_view NameOf(ControlId id) {
  for (const auto& line : kLines)
    if (line.id == id) return line.name;
  return DesignOf(id).name;
}

std::optional<ControlId> ControlNamed(std::string_view name) {
  for (const auto& c : kControls)
    if (c.name == name) return c.id;
  for (const auto& line : kLines)
    if (line.name == name) return line.id;
  return std::nullopt;
}

std::optional<char> AccessKey(std::string_view caption) {
  auto amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return std::nullopt;
  return caption[amp + 1];
}

std::string ShownCaption(std::string_view caption) {
  std::string shown(caption);
  if (auto amp = shown.find('&'); amp != std::string::npos) shown.erase(amp, 1);
  return shown;
}

}  // namespace quernel
