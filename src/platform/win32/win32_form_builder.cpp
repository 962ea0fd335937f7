#include "platform/win32/win32_form_builder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32/win32_text.h"
// After windows.h:
#include <commctrl.h>
#include <uxtheme.h>

namespace quernel::win32 {
namespace {

using enum ControlKind;

constexpr wchar_t kWindowClass[] = L"QuernelFormWindow";
constexpr int kFirstControlNumber = 100;
constexpr int kIconResource = 1;
constexpr double kStartPoints = 9.0;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Room for the opened list below a drop-down list's field (twips).
constexpr int kDropDownDepth = 1800;

template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  const FARPROC found = GetProcAddress(GetModuleHandleW(module), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The window's DPI; before Windows 10 the system's.
UINT DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow =
      SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  if (window && getDpiForWindow) return getDpiForWindow(window);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceExists(const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// SimSun, the face of Simplified Chinese Windows; else another with 12-pixel
// Chinese characters at 9 points; else the system's message font.
std::wstring ChineseFace() {
  for (const wchar_t* face :
       {L"\u5B8B\u4F53", L"SimSun", L"NSimSun", L"Microsoft YaHei", L"WenQuanYi Micro Hei"})
    if (FaceExists(face)) return face;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return metrics.lfMessageFont.lfFaceName;
}

// The order of the control windows, which is the focus order for the dialog
// manager: the focus order of the design, each label just before the
// control it names (its access key then leads there), the other labels
// after, and the frames' group boxes last, under what they hold.
std::vector<ControlId> WindowOrder() {
  std::vector<ControlId> order;
  auto listed = [&](ControlId id) { return std::find(order.begin(), order.end(), id) != order.end(); };
  for (ControlId focusable : FocusOrder()) {
    for (const ControlDesign& design : ControlDesigns())
      if (design.names == focusable) order.push_back(design.id);
    order.push_back(focusable);
  }
  for (const ControlDesign& design : ControlDesigns())
    if (design.kind != Frame && !listed(design.id)) order.push_back(design.id);
  for (const ControlDesign& design : ControlDesigns())
    if (design.kind == Frame) order.push_back(design.id);
  return order;
}

struct WindowKind {
  const wchar_t* windowClass;
  DWORD style;
  DWORD extendedStyle = 0;
};

WindowKind KindOf(const ControlDesign& design) {
  switch (design.kind) {
    case PushButton:
      return {WC_BUTTONW, DWORD(design.role == Role::DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
    case Frame:  // transparent: the form's background shows inside, also under WS_CLIPCHILDREN
      return {WC_BUTTONW, BS_GROUPBOX, WS_EX_TRANSPARENT};
    case Label:
      return {WC_STATICW, SS_LEFT};
    case TextField:
      return {WC_EDITW, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case PickList:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL};
    case EditableList:
      return {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL};
    case OptionButton:  // the runtime keeps the state, not the button
      return {WC_BUTTONW, BS_RADIOBUTTON};
    case CheckBox:
      return {WC_BUTTONW, BS_3STATE};
    case Line:
      break;
  }
  return {WC_STATICW, 0};
}

// A control's designed rectangle in the window's client area (twips).
RECT DesignRect(const ControlDesign& design) {
  int left = design.left, top = design.top;
  if (design.container) {
    left += DesignOf(*design.container).left;
    top += DesignOf(*design.container).top;
  }
  return {left, top, left + design.width, top + design.height};
}

// The rectangle without what a control later in the design covers on its
// right: there the later one is on top, and its option circle or check box
// must not be hidden under this one's empty right end.
RECT VisibleDesignRect(const ControlDesign& design) {
  RECT visible = DesignRect(design);
  if (design.kind == Frame) return visible;  // under everything
  bool later = false;
  for (const ControlDesign& other : ControlDesigns()) {
    later = later || &other == &design;
    if (!later || &other == &design || other.kind == Frame) continue;
    const RECT o = DesignRect(other);
    RECT overlap;
    if (IntersectRect(&overlap, &visible, &o) && o.left > visible.left) visible.right = o.left;
  }
  return visible;
}

void FitToText(HWND label, int left, int top) {
  const std::wstring text = WindowText(label);
  HDC dc = GetDC(label);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT size{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &size, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  MoveWindow(label, left, top, size.right, size.bottom, TRUE);
}

}  // namespace

int ControlNumber(ControlId control) {
  return kFirstControlNumber + static_cast<int>(control);
}

std::optional<ControlId> ControlNumbered(int number) {
  const int index = number - kFirstControlNumber;
  if (index < 0 || index >= kControlCount) return std::nullopt;
  return static_cast<ControlId>(index);
}

FormBuilder::~FormBuilder() {
  for (auto& [tenths, font] : fonts_) DeleteObject(font);
}

Result<void> FormBuilder::Build(WNDPROC procedure, void* owner) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  // Shared icons: the system keeps one copy however often a form is made.
  icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  const auto smallIcon =
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!icon_) icon_ = LoadIconW(nullptr, IDI_APPLICATION);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance_;
  windowClass.hIcon = icon_;
  windowClass.hIconSm = smallIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kWindowClass;
  // A second form in one process finds the class registered by the first.
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return Fail(LastErrorMessage());

  dpi_ = DpiOf(nullptr);
  face_ = ChineseFace();
  form_ = CreateWindowExW(0, kWindowClass, Wide(kFormDesign.caption).c_str(), kFormStyle, 0, 0, 0, 0, nullptr,
                          nullptr, instance_, owner);
  if (!form_) return Fail(LastErrorMessage());
  dpi_ = DpiOf(form_);
  HWND previous = HWND_TOP;
  for (ControlId id : WindowOrder()) {
    CreateControl(DesignOf(id), previous);
    if (!Window(id)) return Fail(LastErrorMessage());
  }
  for (const ControlDesign& design : ControlDesigns())
    if (!design.hoverHint.empty()) CreateHoverHint(design);
  PlaceForm();
  PlaceControls();
  return {};
}

void FormBuilder::Forget() {
  form_ = nullptr;
  hint_ = nullptr;
  windows_ = {};
}

void FormBuilder::CreateControl(const ControlDesign& design, HWND& previous) {
  const WindowKind kind = KindOf(design);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style;
  if (design.tabIndex) style |= WS_TABSTOP;
  if (!design.enabled) style |= WS_DISABLED;
  // Option buttons next to each other in one frame are one group for the
  // arrow keys; every other control starts a group of its own.
  const std::optional<ControlId> before = ControlOf(previous);
  if (design.kind != OptionButton || !before || DesignOf(*before).kind != OptionButton ||
      DesignOf(*before).container != design.container)
    style |= WS_GROUP;

  HWND window = CreateWindowExW(
      kind.extendedStyle, kind.windowClass, Wide(design.caption).c_str(), style, 0, 0, 0, 0, form_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlNumber(design.id))), instance_, nullptr);
  if (!window) return;
  windows_[static_cast<std::size_t>(design.id)] = window;
  SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  previous = window;
  if (design.kind == CheckBox) SendMessageW(window, BM_SETCHECK, static_cast<WPARAM>(design.value), 0);
  // Without a theme a group box draws its caption in the colour that
  // WM_CTLCOLORSTATIC sets, as a label does. A class list that names no
  // class leaves it without one also under Wine, which takes an empty one
  // for none given.
  if (design.kind == Frame) SetWindowTheme(window, L" ", L" ");
  points_[static_cast<std::size_t>(design.id)] = kStartPoints;
  ApplyFont(design.id);
}

void FormBuilder::CreateHoverHint(const ControlDesign& design) {
  if (!hint_)
    hint_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form_, nullptr,
                            instance_, nullptr);
  std::wstring text = Wide(design.hoverHint);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form_;
  tool.uId = reinterpret_cast<UINT_PTR>(Window(design.id));
  tool.lpszText = text.data();
  SendMessageW(hint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The window at its designed place with the designed client area.
void FormBuilder::PlaceForm() {
  RECT frame{Pixels(kFormDesign.left), Pixels(kFormDesign.top),
             Pixels(kFormDesign.left + kFormDesign.clientWidth),
             Pixels(kFormDesign.top + kFormDesign.clientHeight)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  // On a small screen or at a high DPI the designed place may lie partly off
  // the screen: move the window in.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  OffsetRect(&frame, std::min(0L, area.right - frame.right), std::min(0L, area.bottom - frame.bottom));
  OffsetRect(&frame, std::max(0L, area.left - frame.left), std::max(0L, area.top - frame.top));
  SetWindowPos(form_, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Every control where the design puts it, at the current DPI.
void FormBuilder::PlaceControls() {
  for (const ControlDesign& design : ControlDesigns()) {
    HWND window = Window(design.id);
    const RECT r = VisibleDesignRect(design);
    const int left = Pixels(r.left), top = Pixels(r.top);
    if (design.kind == Label) {  // labels fit their text
      FitToText(window, left, top);
    } else {
      int height = Pixels(r.bottom) - top;
      if (design.kind == PickList || design.kind == EditableList) height += Pixels(kDropDownDepth);
      MoveWindow(window, left, top, Pixels(r.right) - left, height, TRUE);
    }
  }
  // The group boxes draw over the background that the form erases.
  RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HFONT FormBuilder::Font(double points) {
  const int tenths = static_cast<int>(std::lround(points * 10));
  if (auto found = fonts_.find(tenths); found != fonts_.end()) return found->second;
  LOGFONTW font{};
  font.lfHeight = -MulDiv(tenths, static_cast<int>(dpi_), 720);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  face_.copy(font.lfFaceName, LF_FACESIZE - 1);
  return fonts_[tenths] = CreateFontIndirectW(&font);
}

void FormBuilder::ApplyFont(ControlId control) {
  SendMessageW(Window(control), WM_SETFONT,
               reinterpret_cast<WPARAM>(Font(points_[static_cast<std::size_t>(control)])), TRUE);
}

int FormBuilder::Pixels(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_), 1440);
}

std::optional<ControlId> FormBuilder::ControlOf(HWND window) const {
  if (!window) return std::nullopt;
  for (const ControlDesign& design : ControlDesigns())
    if (Window(design.id) == window) return design.id;
  // The edit field inside an editable list.
  if (HWND parent = GetParent(window); parent && parent != form_) return ControlOf(parent);
  return std::nullopt;
}

void FormBuilder::SetFontSize(ControlId control, double points) {
  if (!Window(control)) return;  // the lines have no text
  points_[static_cast<std::size_t>(control)] = points;
  ApplyFont(control);
  TextChanged(control);
}

void FormBuilder::TextChanged(ControlId control) {
  if (DesignOf(control).kind == Label) PlaceControls();
}

void FormBuilder::ChangeDpi(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  for (auto& [tenths, font] : fonts_) DeleteObject(font);
  fonts_.clear();
  for (const ControlDesign& design : ControlDesigns()) ApplyFont(design.id);
  PlaceControls();
  SetWindowPos(form_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormBuilder::Paint(HDC dc) const {
  for (const LineDesign& line : LineDesigns()) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(line.colour.red, line.colour.green, line.colour.blue));
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, Pixels(line.x1), Pixels(line.y1), nullptr);
    LineTo(dc, Pixels(line.x2), Pixels(line.y2));
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

LRESULT FormBuilder::ControlColour(UINT message, WPARAM wParam, LPARAM lParam) const {
  const LRESULT brush = DefWindowProcW(form_, message, wParam, lParam);
  const auto control = ControlOf(reinterpret_cast<HWND>(lParam));
  if (control && DesignOf(*control).textColour) {
    const Rgb colour = *DesignOf(*control).textColour;
    SetTextColor(reinterpret_cast<HDC>(wParam), RGB(colour.red, colour.green, colour.blue));
  }
  return brush;
}

}  // namespace quernel::win32
