#include "platform/win32/win32_window_runtime.h"

#include <array>
#include <vector>

#include "design/program_texts.h"
#include "platform/win32/win32_drop_target.h"
#include "platform/win32/win32_folder_lock.h"
#include "platform/win32/win32_form_builder.h"
#include "platform/win32/win32_launch.h"
#include "platform/win32/win32_list_picks.h"
#include "platform/win32/win32_start_up.h"
#include "platform/win32/win32_text.h"
// After windows.h:
#include <shlobj.h>

namespace quernel::win32 {
namespace {

using enum ControlKind;

// The longest path Windows knows, in UTF-16 units ("\\?\" paths).
constexpr std::size_t kLongestPath = 32768;

int Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return static_cast<int>(SendMessageW(window, message, wParam, lParam));
}

bool IsList(ControlKind kind) {
  return kind == PickList || kind == EditableList;
}

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

enum class WaitEnd { Signalled, TimedOut, StopAsked, Quit };

}  // namespace

// --- Events -------------------------------------------------------------------------

struct Win32WindowRuntime::Session {
  explicit Session(HINSTANCE instance) : form(instance) {}

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int number, int code);
  void UserClick(ControlId control);
  void CheckOption(ControlId option);
  void Raise(ControlId control);
  void AcceptDrops();
  bool CanDrop(const std::vector<Text>& paths) const;
  void Drop(const std::vector<Text>& paths);
  HWND At(ControlId control) const { return form.Window(control); }
  WaitEnd PaintUntil(HANDLE handle, DWORD timeout);
  bool DispatchAllButInput();
  bool TakenAsStop(UINT message, WPARAM wParam, HWND target);
  bool IsOnForm(HWND window) const;

  FormBuilder form;
  FormEvents* events = nullptr;
  IDropTarget* dropTarget = nullptr;
  std::array<ListPicks, kControlCount> picks{};  // of the lists
  HWND focusWhenInactive = nullptr;
  bool busy = false;
  bool waiting = false;    // the window takes no orders
  bool stopAsked = false;  // meanwhile, by the close box or Esc
};

// Marks a wait, during which the window takes no orders (a box shown meanwhile included).
class Waiting {
 public:
  explicit Waiting(bool& waiting) : waiting_(waiting) { waiting_ = true; }
  ~Waiting() { waiting_ = false; }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

 private:
  bool& waiting_;
};

LRESULT CALLBACK Win32WindowRuntime::Session::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                         LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<Session*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT Win32WindowRuntime::Session::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
        SetFocus(GetNextDlgTabItem(window, GetFocus(), wParam != 0));
      return 0;
    case WM_ACTIVATE:  // the focus comes back where it was, after a message box too
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(window, focus)) focusWhenInactive = focus;
      } else if (focusWhenInactive && IsWindow(focusWhenInactive)) {
        SetFocus(focusWhenInactive);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (busy) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return form.ControlColour(message, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      form.Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DPICHANGED:
      form.ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(wParam);
      const std::vector<Text> paths = DroppedPaths(drop);
      DragFinish(drop);
      Drop(paths);
      return 0;
    }
    case WM_CLOSE:  // the close box
      if (TakenAsStop(message, wParam, window)) return 0;
      break;
    case WM_DESTROY:
      if (dropTarget) {
        RevokeDragDrop(window);
        dropTarget->Release();
        dropTarget = nullptr;
      }
      form.Forget();
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Win32WindowRuntime::Session::OnCommand(int number, int code) {
  if (number == IDCANCEL) {  // Esc, from the dialog manager
    for (const ControlDesign& design : ControlDesigns())
      if (design.role == Role::CancelButton && IsWindowEnabled(At(design.id))) UserClick(design.id);
    return;
  }
  const std::optional<ControlId> control = ControlNumbered(number);
  if (!control) return;
  if (IsList(DesignOf(*control).kind)) {
    if (picks[static_cast<std::size_t>(*control)].Notify(code, Send(At(*control), CB_GETCURSEL)))
      Raise(*control);
  } else if (code == BN_CLICKED) {
    UserClick(*control);
  }
}

void Win32WindowRuntime::Session::UserClick(ControlId control) {
  HWND button = At(control);
  switch (DesignOf(control).kind) {
    case CheckBox:
      Send(button, BM_SETCHECK, Send(button, BM_GETCHECK) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
      break;
    case OptionButton:  // a click on the checked one keeps it checked
      CheckOption(control);
      break;
    default:
      break;
  }
  Raise(control);
}

void Win32WindowRuntime::Session::CheckOption(ControlId option) {
  const auto container = DesignOf(option).container;
  for (const ControlDesign& other : ControlDesigns())
    if (other.kind == OptionButton && other.container == container)
      Send(At(other.id), BM_SETCHECK, other.id == option ? BST_CHECKED : BST_UNCHECKED);
}

void Win32WindowRuntime::Session::Raise(ControlId control) {
  if (events) events->Click(control);
}

void Win32WindowRuntime::Session::AcceptDrops() {
  DragAcceptFiles(form.Form(), TRUE);
  auto* target = new FileDropTarget([this](const std::vector<Text>& paths) { return CanDrop(paths); },
                                    [this](const std::vector<Text>& paths) { Drop(paths); });
  if (SUCCEEDED(RegisterDragDrop(form.Form(), target)))
    dropTarget = target;  // RegisterDragDrop holds its own reference
  else
    target->Release();  // without OLE on this thread only WM_DROPFILES arrives
}

// While a listing is made, or a box of the program is open (it disables the
// window), the window takes no input, dropped items neither.
bool Win32WindowRuntime::Session::CanDrop(const std::vector<Text>& paths) const {
  return !waiting && form.Form() && IsWindowEnabled(form.Form()) && events && events->CanDrop(paths);
}

void Win32WindowRuntime::Session::Drop(const std::vector<Text>& paths) {
  if (!waiting && form.Form() && IsWindowEnabled(form.Form()) && events) events->Drop(paths);
}

// --- Waits -------------------------------------------------------------------------

// The close-box rule. While the program waits (for a listing's run, or for
// its work folder's lock), the window's close box and Esc never close the
// window nor click the cancel button: they end the wait with StopAsked, and
// a run then asks the program whether to stop (RunListing). True when the
// message is one of them, which is then taken.
bool Win32WindowRuntime::Session::TakenAsStop(UINT message, WPARAM wParam, HWND target) {
  const bool closeBox = message == WM_CLOSE && target == form.Form();
  const bool esc = message == WM_KEYDOWN && wParam == VK_ESCAPE && IsOnForm(target);
  if (!waiting || !(closeBox || esc)) return false;
  stopAsked = true;
  return true;
}

// Waits for `handle` (none: for the time) at most `timeout`; the window goes on
// painting, and what the user types or clicks meanwhile is dropped, as the
// window would not have taken it. The messages that came before are looked at
// before the handle: a press on the close box that came before the end is
// never lost, nor left for the main loop to close the window with.
WaitEnd Win32WindowRuntime::Session::PaintUntil(HANDLE handle, DWORD timeout) {
  const DWORD handles = handle ? 1 : 0;
  const ULONGLONG deadline = GetTickCount64() + timeout;
  stopAsked = false;
  for (;;) {
    if (!DispatchAllButInput()) return WaitEnd::Quit;
    if (stopAsked) return WaitEnd::StopAsked;
    const ULONGLONG now = GetTickCount64();
    const DWORD left =
        timeout == INFINITE ? INFINITE : static_cast<DWORD>(now < deadline ? deadline - now : 0);
    const DWORD woken = MsgWaitForMultipleObjectsEx(handles, &handle, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0 + handles && left > 0) continue;  // messages
    const bool signalled = handle && (woken == WAIT_OBJECT_0 || woken == WAIT_ABANDONED_0);
    return signalled ? WaitEnd::Signalled : WaitEnd::TimedOut;  // timed out, or failed
  }
}

// False at WM_QUIT, which is put back for the main loop. A press on the close
// box goes through to become WM_CLOSE.
bool Win32WindowRuntime::Session::DispatchAllButInput() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    const UINT m = message.message;
    if (m == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (TakenAsStop(m, message.wParam, message.hwnd)) continue;
    const bool closeBox = m == WM_NCLBUTTONDOWN && message.wParam == HTCLOSE && message.hwnd == form.Form();
    if (IsInput(m) && !closeBox) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

bool Win32WindowRuntime::Session::IsOnForm(HWND window) const {
  return window && (window == form.Form() || IsChild(form.Form(), window));
}

// --- The form -----------------------------------------------------------------------

Win32WindowRuntime::Win32WindowRuntime(HINSTANCE instance) : session_(std::make_unique<Session>(instance)) {}

Win32WindowRuntime::~Win32WindowRuntime() {
  CloseForm();
}

Result<void> Win32WindowRuntime::CreateForm(FormEvents& events) {
  session_->events = &events;
  session_->picks = {};
  if (auto built = session_->form.Build(Session::WindowProc, session_.get()); !built) return built;
  session_->AcceptDrops();
  return {};
}

void Win32WindowRuntime::ShowForm() {
  HWND form = session_->form.Form();
  ShowWindow(form, SW_SHOWNORMAL);
  UpdateWindow(form);
  SetForegroundWindow(form);
  SetFocus(ControlWindow(FocusOrder().front()));
}

void Win32WindowRuntime::RunUntilClosed() {
  MSG message;
  while (session_->form.Form() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (HWND form = session_->form.Form(); form && IsDialogMessageW(form, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32WindowRuntime::CloseForm() {
  if (HWND form = session_->form.Form()) DestroyWindow(form);
}

HWND Win32WindowRuntime::Form() const {
  return session_->form.Form();
}
HICON Win32WindowRuntime::Icon() const {
  return session_->form.Icon();
}

HWND Win32WindowRuntime::ControlWindow(ControlId control) const {
  return session_->At(control);
}

// --- Controls -----------------------------------------------------------------------

Text Win32WindowRuntime::GetText(ControlId control) const {
  HWND window = ControlWindow(control);
  if (DesignOf(control).kind == PickList) {
    const int index = Send(window, CB_GETCURSEL);
    if (index < 0) return {};
    std::wstring entry(
        static_cast<std::size_t>(Send(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(index))) + 1, L'\0');
    entry.resize(static_cast<std::size_t>(
        Send(window, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()))));
    return Utf8(entry);
  }
  return Utf8(WindowText(window));
}

void Win32WindowRuntime::SetText(ControlId control, const Text& text) {
  SetWindowTextW(ControlWindow(control), Wide(text).c_str());
  session_->form.TextChanged(control);
}

int Win32WindowRuntime::GetValue(ControlId control) const {
  const ControlKind kind = DesignOf(control).kind;
  if (kind != CheckBox && kind != OptionButton) return 0;
  return Send(ControlWindow(control), BM_GETCHECK);
}

void Win32WindowRuntime::SetValue(ControlId control, int value) {
  const ControlKind kind = DesignOf(control).kind;
  if ((kind != CheckBox && kind != OptionButton) || GetValue(control) == value) return;
  if (kind == OptionButton && value == 1)
    session_->CheckOption(control);
  else
    Send(ControlWindow(control), BM_SETCHECK, static_cast<WPARAM>(value));
  session_->Raise(control);
}

int Win32WindowRuntime::GetListIndex(ControlId control) const {
  if (!IsList(DesignOf(control).kind)) return -1;
  if (session_->picks[static_cast<std::size_t>(control)].TypedOver()) return -1;
  return Send(ControlWindow(control), CB_GETCURSEL);
}

void Win32WindowRuntime::SetListIndex(ControlId control, int index) {
  if (!IsList(DesignOf(control).kind) || GetListIndex(control) == index) return;
  session_->picks[static_cast<std::size_t>(control)].SelectedByProgram();
  Send(ControlWindow(control), CB_SETCURSEL, static_cast<WPARAM>(index));
  session_->Raise(control);
}

void Win32WindowRuntime::AddItem(ControlId control, const Text& entry) {
  if (IsList(DesignOf(control).kind))
    SendMessageW(ControlWindow(control), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
}

bool Win32WindowRuntime::IsEnabled(ControlId control) const {
  HWND window = ControlWindow(control);
  return window ? IsWindowEnabled(window) != FALSE : true;
}

void Win32WindowRuntime::SetEnabled(ControlId control, bool enabled) {
  if (HWND window = ControlWindow(control)) EnableWindow(window, enabled);
}

void Win32WindowRuntime::SetFontSize(ControlId control, double points) {
  session_->form.SetFontSize(control, points);
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

// Under Program Files (64-bit or x86), where the installer puts programs.
bool Win32WindowRuntime::IsInstalled() const {
  const std::wstring folder = Wide(ProgramFolder()) + L'\\';
  for (const KNOWNFOLDERID* known : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
    wchar_t* path = nullptr;
    bool inside = false;
    if (SUCCEEDED(SHGetKnownFolderPath(*known, 0, nullptr, &path))) {
      const std::wstring root = std::wstring(path) + L'\\';
      inside = folder.size() >= root.size() &&
               CompareStringOrdinal(folder.c_str(), static_cast<int>(root.size()), root.c_str(),
                                    static_cast<int>(root.size()), TRUE) == CSTR_EQUAL;
    }
    CoTaskMemFree(path);
    if (inside) return true;
  }
  return false;
}

// --- Pointer, messages, programs ----------------------------------------------------

void Win32WindowRuntime::SetMousePointer(MousePointer pointer) {
  session_->busy = pointer == MousePointer::Hourglass;
  SetCursor(LoadCursorW(nullptr, session_->busy ? IDC_WAIT : IDC_ARROW));
}

void Win32WindowRuntime::ShowMessage(const Text& prompt, MessageStyle style) {
  const UINT icon = style == MessageStyle::Error ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxW(session_->form.Form(), Wide(prompt).c_str(), Wide(texts::kAppTitle).c_str(), MB_OK | icon);
}

bool Win32WindowRuntime::Ask(const Text& prompt) {
  return MessageBoxW(session_->form.Form(), Wide(prompt).c_str(), Wide(texts::kAppTitle).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::unique_ptr<FolderLock> Win32WindowRuntime::LockFolder(const Text& folder,
                                                           std::chrono::milliseconds patience) {
  const Waiting waiting(session_->waiting);
  return LockFolderOf(Wide(folder), patience, [this](HANDLE handle, DWORD milliseconds) {
    return session_->PaintUntil(handle, milliseconds) == WaitEnd::Signalled;
  });
}

Result<RunEnd> Win32WindowRuntime::RunListing(const ListingRun& run,
                                              const std::function<bool()>& stopWanted) {
  const auto started = ListingProcess::Start(run);
  if (!started) return Fail(started.error());
  const ListingProcess& process = **started;
  const Waiting waiting(session_->waiting);
  for (;;) {
    switch (session_->PaintUntil(process.Handle(), INFINITE)) {
      case WaitEnd::Signalled:
        return process.End();
      case WaitEnd::StopAsked:  // the close box or Esc
        if (stopWanted()) return process.Stop();
        break;
      default:  // WM_QUIT: the program is ending, the run goes on untracked
        return RunEnd{};
    }
  }
}

Result<void> Win32WindowRuntime::OpenListing(const Text& listing) {
  return OpenWithFocus(texts::kViewer, listing);
}

Result<void> Win32WindowRuntime::OpenHelp(const Text& page) {
  return OpenWithFocus(texts::kFileManager, page);
}

Text Win32WindowRuntime::ViewerName() const {
  return Text(texts::kNotepadName);
}

}  // namespace quernel::win32
