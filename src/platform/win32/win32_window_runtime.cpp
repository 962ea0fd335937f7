#include "platform/win32/win32_window_runtime.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "design/program_texts.h"
#include "platform/win32/win32_drop_target.h"
#include "platform/win32/win32_launch.h"
#include "platform/win32/win32_start_up.h"
#include "platform/win32/win32_text.h"
// After windows.h:
#include <commctrl.h>
#include <shlobj.h>

namespace quernel::win32 {
namespace {

using enum ControlKind;

constexpr wchar_t kWindowClass[] = L"QuernelFormWindow";
constexpr int kFirstControlNumber = 100;
constexpr int kIconResource = 1;
constexpr double kStartPoints = 9.0;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// A frame's caption starts this far right of the frame's edge (twips).
constexpr int kFrameCaptionIndent = 105;
constexpr int kFrameCaptionPadding = 2;  // pixels of background either side
// Room for the opened list below a drop-down list's field (twips).
constexpr int kDropDownDepth = 1800;
// The longest path Windows knows, in UTF-16 units ("\\?\" paths).
constexpr std::size_t kLongestPath = 32768;

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

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return static_cast<int>(SendMessageW(window, message, wParam, lParam));
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
    case Frame:  // the caption; the form draws the frame's etched edge
      return {WC_STATICW, SS_CENTER | SS_NOPREFIX};
    case Label:
      return {WC_STATICW, SS_LEFT};
    case TextField:
      return {WC_EDITW, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case PickList:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL};
    case EditableList:
      return {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL};
    case OptionButton:  // the state is kept here, not by the button: see UserClick
      return {WC_BUTTONW, BS_RADIOBUTTON};
    case CheckBox:
      return {WC_BUTTONW, BS_3STATE};
    case Line:
      break;
  }
  return {WC_STATICW, 0};
}

bool IsList(ControlKind kind) {
  return kind == PickList || kind == EditableList;
}
bool FitsText(ControlKind kind) {
  return kind == Label || kind == Frame;
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

}  // namespace

Win32WindowRuntime::Win32WindowRuntime(HINSTANCE instance) : instance_(instance) {}

Win32WindowRuntime::~Win32WindowRuntime() {
  if (form_) DestroyWindow(form_);
  for (auto& [tenths, font] : fonts_) DeleteObject(font);
}

int Win32WindowRuntime::ControlNumber(ControlId control) {
  return kFirstControlNumber + static_cast<int>(control);
}

HWND Win32WindowRuntime::ControlWindow(ControlId control) const {
  return At(control).window;
}

int Win32WindowRuntime::Pixels(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_), 1440);
}

// --- Building the window -------------------------------------------------------

std::optional<Text> Win32WindowRuntime::CreateForm(FormEvents& events) {
  events_ = &events;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  // Shared icons: the system keeps one copy however often a form is made.
  icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  smallIcon_ =
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!icon_) icon_ = LoadIconW(nullptr, IDI_APPLICATION);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = icon_;
  windowClass.hIconSm = smallIcon_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kWindowClass;
  // A second form in one process finds the class registered by the first.
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return LastErrorMessage();

  dpi_ = DpiOf(nullptr);
  face_ = ChineseFace();
  form_ = CreateWindowExW(0, kWindowClass, Wide(kFormDesign.caption).c_str(), kFormStyle, 0, 0, 0, 0, nullptr,
                          nullptr, instance_, this);
  if (!form_) return LastErrorMessage();
  dpi_ = DpiOf(form_);
  HWND previous = HWND_TOP;
  for (ControlId id : WindowOrder()) CreateControl(DesignOf(id), previous);
  for (const ControlDesign& design : ControlDesigns())
    if (!design.hoverHint.empty()) CreateHoverHint(design);
  PlaceForm();
  PlaceControls();
  AcceptDrops();
  return std::nullopt;
}

void Win32WindowRuntime::AcceptDrops() {
  DragAcceptFiles(form_, TRUE);
  auto* target = new FileDropTarget([this](const std::vector<Text>& paths) { return CanDrop(paths); },
                                    [this](const std::vector<Text>& paths) { Drop(paths); });
  if (SUCCEEDED(RegisterDragDrop(form_, target)))
    dropTarget_ = target;  // RegisterDragDrop holds its own reference
  else
    target->Release();  // without OLE on this thread only WM_DROPFILES arrives
}

// While a listing is made, or a box of the program is open (it disables the
// window), the window takes no input, dropped items neither.
bool Win32WindowRuntime::CanDrop(const std::vector<Text>& paths) const {
  return !waiting_ && form_ && IsWindowEnabled(form_) && events_ && events_->CanDrop(paths);
}

void Win32WindowRuntime::Drop(const std::vector<Text>& paths) {
  if (!waiting_ && form_ && IsWindowEnabled(form_) && events_) events_->Drop(paths);
}

bool Win32WindowRuntime::ContinuesOptions(const ControlDesign& design, HWND previous) const {
  if (design.kind != OptionButton || previous == HWND_TOP) return false;
  const std::optional<ControlId> before = ControlOf(previous);
  return before.has_value() && DesignOf(before.value()).kind == OptionButton &&
         DesignOf(before.value()).container == design.container;
}

void Win32WindowRuntime::CreateControl(const ControlDesign& design, HWND& previous) {
  const WindowKind kind = KindOf(design);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style;
  if (design.tabIndex) style |= WS_TABSTOP;
  if (!design.enabled) style |= WS_DISABLED;
  // Option buttons next to each other in one frame are one group for the
  // arrow keys; every other control starts a group of its own.
  if (!ContinuesOptions(design, previous)) style |= WS_GROUP;

  Control& control = At(design.id);
  control.window = CreateWindowExW(
      kind.extendedStyle, kind.windowClass, Wide(design.caption).c_str(), style, 0, 0, 0, 0, form_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlNumber(design.id))), instance_, nullptr);
  SetWindowPos(control.window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  previous = control.window;
  if (design.kind == CheckBox) Send(control.window, BM_SETCHECK, static_cast<WPARAM>(design.value));
  if (IsList(design.kind)) picks_[design.id] = {};
  control.points = kStartPoints;
  ApplyFont(design.id);
}

void Win32WindowRuntime::CreateHoverHint(const ControlDesign& design) {
  if (!hint_)
    hint_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form_, nullptr,
                            instance_, nullptr);
  std::wstring text = Wide(design.hoverHint);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form_;
  tool.uId = reinterpret_cast<UINT_PTR>(At(design.id).window);
  tool.lpszText = text.data();
  SendMessageW(hint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The window at its designed place with the designed client area.
void Win32WindowRuntime::PlaceForm() {
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
void Win32WindowRuntime::PlaceControls() {
  for (const ControlDesign& design : ControlDesigns()) {
    const Control& control = At(design.id);
    const RECT r = VisibleDesignRect(design);
    const int left = Pixels(r.left), top = Pixels(r.top);
    if (design.kind == Label) {  // labels fit their text
      FitToText(control.window, left, top, 0);
    } else if (design.kind == Frame) {
      FitToText(control.window, left + Pixels(kFrameCaptionIndent), top, kFrameCaptionPadding);
    } else {
      int height = Pixels(r.bottom) - top;
      if (IsList(design.kind)) height += Pixels(kDropDownDepth);
      MoveWindow(control.window, left, top, Pixels(r.right) - left, height, TRUE);
    }
  }
  InvalidateRect(form_, nullptr, TRUE);
}

void Win32WindowRuntime::FitToText(HWND label, int left, int top, int padding) const {
  const std::wstring text = WindowText(label);
  HDC dc = GetDC(label);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT size{};
  const UINT prefix = (GetWindowLongW(label, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &size, DT_CALCRECT | DT_SINGLELINE | prefix);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  MoveWindow(label, left, top, size.right + 2 * padding, size.bottom, TRUE);
}

HFONT Win32WindowRuntime::Font(double points) {
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

void Win32WindowRuntime::ApplyFont(ControlId control) {
  const Control& c = At(control);
  SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(c.points)), TRUE);
}

std::optional<ControlId> Win32WindowRuntime::ControlOf(HWND window) const {
  for (const ControlDesign& design : ControlDesigns()) {
    const Control& control = At(design.id);
    if (window && control.window == window) return design.id;
  }
  // The edit field inside an editable list.
  if (HWND parent = window ? GetParent(window) : nullptr; parent && parent != form_) return ControlOf(parent);
  return std::nullopt;
}

void Win32WindowRuntime::ShowForm() {
  ShowWindow(form_, SW_SHOWNORMAL);
  UpdateWindow(form_);
  SetForegroundWindow(form_);
  SetFocus(At(FocusOrder().front()).window);
}

void Win32WindowRuntime::RunUntilClosed() {
  MSG message;
  while (form_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form_ && IsDialogMessageW(form_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32WindowRuntime::CloseForm() {
  if (form_) DestroyWindow(form_);
}

NativeHandle Win32WindowRuntime::FormHandle() const {
  return reinterpret_cast<NativeHandle>(form_);
}
NativeHandle Win32WindowRuntime::FormIcon() const {
  return reinterpret_cast<NativeHandle>(icon_);
}

// --- Messages ----------------------------------------------------------------------

LRESULT CALLBACK Win32WindowRuntime::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32WindowRuntime*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->form_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32WindowRuntime*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT Win32WindowRuntime::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case DM_GETDEFID:  // Enter, for the dialog manager
      for (const ControlDesign& design : ControlDesigns())
        if (design.role == Role::DefaultButton) return MAKELRESULT(ControlNumber(design.id), DC_HASDEFID);
      return 0;
    case WM_NEXTDLGCTL:  // an access key on a label: the dialog manager moves the focus
      if (LOWORD(lParam))
        SetFocus(reinterpret_cast<HWND>(wParam));
      else
        SetFocus(GetNextDlgTabItem(form_, GetFocus(), wParam != 0));
      return 0;
    case WM_ACTIVATE:  // the focus comes back where it was, after a message box too
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(form_, focus)) focusWhenInactive_ = focus;
      } else if (focusWhenInactive_ && IsWindow(focusWhenInactive_)) {
        SetFocus(focusWhenInactive_);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return OnControlColour(message, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintFrames(dc);
      PaintLines(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      for (auto& [tenths, font] : fonts_) DeleteObject(font);
      fonts_.clear();
      for (const ControlDesign& design : ControlDesigns()) ApplyFont(design.id);
      PlaceControls();
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(form_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(wParam);
      const std::vector<Text> paths = DroppedPaths(drop);
      DragFinish(drop);
      Drop(paths);
      return 0;
    }
    case WM_CLOSE:
      if (waiting_) return 0;  // the listing is being made: the window takes no orders
      break;
    case WM_DESTROY:
      if (dropTarget_) {
        RevokeDragDrop(window);
        dropTarget_->Release();
        dropTarget_ = nullptr;
      }
      form_ = nullptr;
      hint_ = nullptr;
      controls_ = {};
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Win32WindowRuntime::OnCommand(int number, int code) {
  if (number == IDCANCEL) {  // Esc, from the dialog manager
    for (const ControlDesign& design : ControlDesigns())
      if (design.role == Role::CancelButton && IsWindowEnabled(At(design.id).window)) UserClick(design.id);
    return;
  }
  const int index = number - kFirstControlNumber;
  if (index < 0 || index >= kControlCount) return;
  const auto control = static_cast<ControlId>(index);
  if (IsList(DesignOf(control).kind))
    OnListNotification(control, code);
  else if (code == BN_CLICKED)
    UserClick(control);
}

// A user's pick raises Click once, also when the same entry is picked
// again: the list says CBN_SELENDOK for each pick from the opened list, and
// CBN_SELCHANGE for each change (also by the arrow keys on the closed list),
// which may follow the pick's CBN_SELENDOK for the same entry.
void Win32WindowRuntime::OnListNotification(ControlId list, int code) {
  ListPick& pick = picks_[list];
  const int index = Send(At(list).window, CB_GETCURSEL);
  switch (code) {
    case CBN_DROPDOWN:
      pick = {true, -1, pick.typedOver, index};
      break;
    case CBN_SELCHANGE:
      pick.typedOver = false;
      if (!pick.dropped && index != pick.raisedPick) Raise(list);  // else CBN_SELENDOK raises
      pick.raisedPick = -1;
      break;
    case CBN_SELENDOK:
    case CBN_SELENDCANCEL:  // closed by a click elsewhere: raised when it changed
      if (pick.dropped && (code == CBN_SELENDOK || index != pick.indexAtDrop)) {
        pick.raisedPick = index;
        Raise(list);
      }
      pick.dropped = false;
      break;
    case CBN_CLOSEUP:
      pick.dropped = false;
      break;
    case CBN_EDITCHANGE:
      pick.typedOver = true;
      break;
    default:
      break;
  }
}

void Win32WindowRuntime::UserClick(ControlId control) {
  HWND button = At(control).window;
  switch (DesignOf(control).kind) {
    case CheckBox:
      Send(button, BM_SETCHECK, Send(button, BM_GETCHECK) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
      break;
    case OptionButton:
      CheckOption(control);
      break;
    default:
      break;
  }
  Raise(control);
}

void Win32WindowRuntime::CheckOption(ControlId option) {
  const auto container = DesignOf(option).container;
  for (const ControlDesign& other : ControlDesigns())
    if (other.kind == OptionButton && other.container == container)
      Send(At(other.id).window, BM_SETCHECK, other.id == option ? BST_CHECKED : BST_UNCHECKED);
}

void Win32WindowRuntime::Raise(ControlId control) {
  if (events_) events_->Click(control);
}

LRESULT Win32WindowRuntime::OnControlColour(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT brush = DefWindowProcW(form_, message, wParam, lParam);
  const auto control = ControlOf(reinterpret_cast<HWND>(lParam));
  if (control && DesignOf(*control).textColour) {
    const Rgb colour = *DesignOf(*control).textColour;
    SetTextColor(reinterpret_cast<HDC>(wParam), RGB(colour.red, colour.green, colour.blue));
  }
  return brush;
}

// A frame's etched edge runs through the middle of its caption, which hides
// it where the text stands.
void Win32WindowRuntime::PaintFrames(HDC dc) const {
  for (const ControlDesign& design : ControlDesigns()) {
    if (design.kind != Frame) continue;
    RECT caption;
    GetWindowRect(At(design.id).window, &caption);
    const RECT r = DesignRect(design);
    RECT edge{Pixels(r.left), Pixels(r.top) + (caption.bottom - caption.top) / 2, Pixels(r.right),
              Pixels(r.bottom)};
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  }
}

void Win32WindowRuntime::PaintLines(HDC dc) const {
  for (const LineDesign& line : LineDesigns()) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(line.colour.red, line.colour.green, line.colour.blue));
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, Pixels(line.x1), Pixels(line.y1), nullptr);
    LineTo(dc, Pixels(line.x2), Pixels(line.y2));
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

// --- Controls -----------------------------------------------------------------------

Text Win32WindowRuntime::GetText(ControlId control) const {
  const Control& c = At(control);
  if (DesignOf(control).kind == PickList) {
    const int index = Send(c.window, CB_GETCURSEL);
    if (index < 0) return {};
    std::wstring entry(
        static_cast<std::size_t>(Send(c.window, CB_GETLBTEXTLEN, static_cast<WPARAM>(index))) + 1, L'\0');
    entry.resize(static_cast<std::size_t>(
        Send(c.window, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()))));
    return Utf8(entry);
  }
  return Utf8(WindowText(c.window));
}

void Win32WindowRuntime::SetText(ControlId control, const Text& text) {
  const Control& c = At(control);
  SetWindowTextW(c.window, Wide(text).c_str());
  if (FitsText(DesignOf(control).kind)) PlaceControls();
}

int Win32WindowRuntime::GetValue(ControlId control) const {
  const ControlKind kind = DesignOf(control).kind;
  if (kind != CheckBox && kind != OptionButton) return 0;
  return Send(At(control).window, BM_GETCHECK);
}

void Win32WindowRuntime::SetValue(ControlId control, int value) {
  const ControlKind kind = DesignOf(control).kind;
  if ((kind != CheckBox && kind != OptionButton) || GetValue(control) == value) return;
  if (kind == OptionButton && value == 1)
    CheckOption(control);
  else
    Send(At(control).window, BM_SETCHECK, static_cast<WPARAM>(value));
  Raise(control);
}

int Win32WindowRuntime::GetListIndex(ControlId control) const {
  if (!IsList(DesignOf(control).kind)) return -1;
  if (auto pick = picks_.find(control); pick != picks_.end() && pick->second.typedOver) return -1;
  return Send(At(control).window, CB_GETCURSEL);
}

void Win32WindowRuntime::SetListIndex(ControlId control, int index) {
  if (!IsList(DesignOf(control).kind) || GetListIndex(control) == index) return;
  picks_[control].typedOver = false;
  Send(At(control).window, CB_SETCURSEL, static_cast<WPARAM>(index));
  Raise(control);
}

void Win32WindowRuntime::AddItem(ControlId control, const Text& entry) {
  if (IsList(DesignOf(control).kind))
    SendMessageW(At(control).window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
}

bool Win32WindowRuntime::IsEnabled(ControlId control) const {
  return At(control).window ? IsWindowEnabled(At(control).window) != FALSE : true;
}

void Win32WindowRuntime::SetEnabled(ControlId control, bool enabled) {
  const Control& c = At(control);
  if (c.window) EnableWindow(c.window, enabled);
}

void Win32WindowRuntime::SetFontSize(ControlId control, double points) {
  if (!At(control).window) return;  // the lines have no text
  At(control).points = points;
  ApplyFont(control);
  if (FitsText(DesignOf(control).kind)) PlaceControls();
}

// --- The program's folders ----------------------------------------------------------

Text Win32WindowRuntime::ProgramFolder() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= kLongestPath) return {};  // no path is that long
    path.resize(path.size() * 2);                // cut off: try a longer buffer
  }
  const auto separator = path.rfind(L'\\');
  if (separator == std::wstring::npos) return {};
  path.resize(separator);
  if (path.size() == 2 && path[1] == L':') path += L'\\';  // a root keeps its separator
  return Utf8(path);
}

Text Win32WindowRuntime::UserWorkFolder() const {
  wchar_t* localAppData = nullptr;
  Text folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData)))
    folder = Utf8(localAppData);
  CoTaskMemFree(localAppData);
  return folder + "\\" + Text(texts::kAppTitle);
}

// --- Pointer, messages, programs ----------------------------------------------------

void Win32WindowRuntime::SetMousePointer(MousePointer pointer) {
  busy_ = pointer == MousePointer::Hourglass;
  SetCursor(LoadCursorW(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

void Win32WindowRuntime::ShowMessage(const Text& prompt, MessageStyle style) {
  const UINT icon = style == MessageStyle::Error ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxW(form_, Wide(prompt).c_str(), Wide(texts::kAppTitle).c_str(), MB_OK | icon);
}

Launch Win32WindowRuntime::LaunchProgram(const LaunchRequest& request) {
  return StartProgram(request);
}

// The window goes on painting while the process runs; what the user types or
// clicks meanwhile is dropped, as the window would not have taken it.
ProcessEnd Win32WindowRuntime::WaitWhilePainting(Process& process) {
  auto* started = dynamic_cast<Win32Process*>(&process);
  if (!started) return {};
  waiting_ = true;
  const HANDLE handle = started->Handle();
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      const UINT m = message.message;
      const bool input = (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
                         (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
      if (input) continue;
      if (m == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        waiting_ = false;
        return {};
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  waiting_ = false;
  return started->End();
}

}  // namespace quernel::win32
