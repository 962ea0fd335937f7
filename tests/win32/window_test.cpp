// The Win32 window as built from the design: what the contract cannot see.
#include <gtest/gtest.h>

#include <vector>

#include "core/texts.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_runtime.h"
// After windows.h:
#include <commctrl.h>

namespace quernel::win32 {
namespace {

using enum ControlId;

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

class CountingEvents final : public FormEvents {
 public:
  void Click(ControlId control) override { clicks.push_back(control); }
  std::vector<ControlId> clicks;
};

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override { window_.CreateForm(events_); }
  HWND Form() const { return reinterpret_cast<HWND>(window_.FormHandle()); }
  HWND Window(ControlId id) const { return window_.ControlWindow(id); }
  void Notify(ControlId id, int code) {
    SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(Win32WindowRuntime::ControlNumber(id), code),
                 reinterpret_cast<LPARAM>(Window(id)));
  }
  RECT InForm(ControlId id) const {
    RECT r;
    GetWindowRect(Window(id), &r);
    MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  CountingEvents events_;
  Win32WindowRuntime window_{GetModuleHandleW(nullptr)};
};

TEST_F(Win32Window, TabGoesThroughTheControlsInTheDesignedFocusOrder) {
  const auto order = FocusOrder();
  HWND at = Window(order.front());
  for (std::size_t i = 1; i <= order.size(); ++i) {
    at = GetNextDlgTabItem(Form(), at, FALSE);
    EXPECT_EQ(at, Window(order[i % order.size()])) << "after " << NameOf(order[i - 1]);
  }
}

TEST_F(Win32Window, ControlsStandWhereTheDesignPutsThemAt96Dpi) {
  const int dpi = ScreenDpi();
  if (dpi != 96) GTEST_SKIP() << "the screen has " << dpi << " DPI";
  struct Case {
    ControlId id;
    RECT place;  // pixels; in a frame: from the frame's corner on
  };
  const Case cases[] = {
      {txtPath, {72, 12, 355, 34}}, {cmdBrowse, {360, 12, 421, 35}}, {cobType, {69, 54, 236, 0}},
      {optS, {108, 135, 208, 154}}, {optR, {17, 135, 108, 154}},     {cmdExit, {354, 195, 414, 218}},
      {Label5, {9, 222, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.id)));
    const RECT r = InForm(c.id);
    EXPECT_EQ(r.left, c.place.left);
    EXPECT_EQ(r.top, c.place.top);
    if (c.place.right) {
      EXPECT_EQ(r.right, c.place.right);
    }
    if (c.place.bottom) {
      EXPECT_EQ(r.bottom, c.place.bottom);
    }
  }
  RECT client;
  GetClientRect(Form(), &client);
  EXPECT_EQ(client.right, 426);
  EXPECT_EQ(client.bottom, 240);
}

TEST_F(Win32Window, EveryControlHasTheNinePointFont) {
  for (const ControlDesign& design : ControlDesigns()) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Window(design.id), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, ScreenDpi(), 72)) << NameOf(design.id);
  }
}

TEST_F(Win32Window, ListsAreDropDownsOfTheirKind) {
  for (const ControlDesign& design : ControlDesigns()) {
    if (design.kind != ControlKind::PickList && design.kind != ControlKind::EditableList) continue;
    const auto style = static_cast<DWORD>(GetWindowLongW(Window(design.id), GWL_STYLE)) & 3;
    EXPECT_EQ(style, DWORD(design.kind == ControlKind::PickList ? CBS_DROPDOWNLIST : CBS_DROPDOWN))
        << NameOf(design.id);
  }
}

TEST_F(Win32Window, EnterPressesTheDefaultButton) {
  const auto answer = static_cast<DWORD>(SendMessageW(Form(), DM_GETDEFID, 0, 0));
  EXPECT_EQ(HIWORD(answer), DC_HASDEFID);
  EXPECT_EQ(LOWORD(answer), Win32WindowRuntime::ControlNumber(cmdOut));
  SendMessageW(Form(), WM_COMMAND, IDCANCEL, 0);  // Esc
  EXPECT_EQ(events_.clicks, std::vector{cmdExit});
}

TEST_F(Win32Window, TheFolderFieldHasItsHoverHint) {
  HWND hint = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM found) {
        wchar_t name[64];
        GetClassNameW(w, name, 64);
        if (lstrcmpW(name, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(found) = w;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&hint));
  ASSERT_TRUE(hint);
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = Form();
  tool.uId = reinterpret_cast<UINT_PTR>(Window(txtPath));
  tool.lpszText = text;
  SendMessageW(hint, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(Utf8(text), texts::kFolderHint);
}

// The notifications of picks, in the orders Windows and Wine send them: one
// Click for each pick, also of the entry already shown.
TEST_F(Win32Window, EachPickFromAListRaisesOneClick) {
  for (const char* entry : {"名称", "大小", "日期"}) window_.AddItem(cobSort, entry);
  struct Case {
    const char* what;
    int entry;  // selected before the notifications
    std::vector<int> notifications;
    std::size_t clicks;
  };
  const Case cases[] = {
      {"a new entry (Wine)", 1, {CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}, 1},
      {"a new entry (Windows)", 2, {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}, 1},
      {"the same entry", 2, {CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}, 1},
      {"an arrow key on the closed list", 1, {CBN_SELCHANGE}, 1},
      {"opened and closed again", 1, {CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}, 0},
      {"the same entry (Wine)", 1, {CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}, 1},
  };
  for (const Case& c : cases) {
    events_.clicks.clear();
    SendMessageW(Window(cobSort), CB_SETCURSEL, static_cast<WPARAM>(c.entry), 0);
    for (int code : c.notifications) Notify(cobSort, code);
    EXPECT_EQ(events_.clicks, std::vector<ControlId>(c.clicks, cobSort)) << c.what;
  }
}

TEST_F(Win32Window, UserClicksToggleBoxesAndKeepAnOptionChecked) {
  Notify(chkL, BN_CLICKED);
  Notify(optR, BN_CLICKED);
  Notify(optR, BN_CLICKED);
  Notify(chkT, BN_CLICKED);
  EXPECT_EQ(window_.GetValue(chkL), 1);
  EXPECT_EQ(window_.GetValue(chkT), 0) << "checked by design, unchecked by the click";
  EXPECT_EQ(window_.GetValue(optR), 1) << "clicking a checked option keeps it";
  EXPECT_EQ(events_.clicks, (std::vector{chkL, optR, optR, chkT}));
}

}  // namespace
}  // namespace quernel::win32
