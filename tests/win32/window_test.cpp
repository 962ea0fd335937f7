// The Win32 window as built from the design: what the contract cannot see.
#include <gtest/gtest.h>

#include <vector>

#include "design/program_texts.h"
#include "drop_files.h"
#include "platform/win32/win32_drop_target.h"
#include "platform/win32/win32_form_builder.h"
#include "platform/win32/win32_start_up.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_runtime.h"
#include "support/test_support.h"
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

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override { window_.CreateForm(events_); }
  HWND Form() const { return reinterpret_cast<HWND>(window_.FormHandle()); }
  HWND Window(ControlId id) const { return window_.ControlWindow(id); }
  void Notify(ControlId id, int code) {
    SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(ControlNumber(id), code),
                 reinterpret_cast<LPARAM>(Window(id)));
  }
  RECT InForm(ControlId id) const {
    RECT r;
    GetWindowRect(Window(id), &r);
    MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  testing::RecordingEvents events_;
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
      {Label5, {9, 222, 0, 0}},     {Frame2, {243, 39, 415, 187}},
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

// A screen reader announces a frame's caption as the name of its group.
TEST_F(Win32Window, ListsAreDropDownsOfTheirKindAndFramesGroupBoxes) {
  for (const ControlDesign& design : ControlDesigns()) {
    const auto style = static_cast<DWORD>(GetWindowLongW(Window(design.id), GWL_STYLE));
    if (design.kind == ControlKind::PickList || design.kind == ControlKind::EditableList) {
      EXPECT_EQ(style & 3, DWORD(design.kind == ControlKind::PickList ? CBS_DROPDOWNLIST : CBS_DROPDOWN))
          << NameOf(design.id);
    }
    if (design.kind != ControlKind::Frame) continue;
    wchar_t windowClass[16] = {};
    GetClassNameW(Window(design.id), windowClass, 16);
    EXPECT_EQ(std::wstring(windowClass), L"Button");
    EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_GROUPBOX));
    EXPECT_EQ(Utf8(WindowText(Window(design.id))), design.caption);
  }
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

// --- From outside the window ----------------------------------------------------------

TEST(StartUpArguments, AreSplitAsWindowsSplitsThem) {
  struct Case {
    const wchar_t* commandLine;
    std::vector<Text> arguments;
  };
  const Case cases[] = {
      {L"Quernel.exe", {}},
      {L"\"C:\\Program Files\\Quernel\\Quernel.exe\" \"D:\\音乐\\2024\"", {"D:\\音乐\\2024"}},
      {L"Quernel.exe D:\\音乐 \"E:\\新建 文件夹\" 说明.txt", {"D:\\音乐", "E:\\新建 文件夹", "说明.txt"}},
      {L"Quernel.exe \"C:\\\"", {"C:\\"}},  // Explorer's "%1" for a drive's root
      {L"Quernel.exe \"D:\\新建 文件夹\\\"", {"D:\\新建 文件夹\\"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments) << Utf8(c.commandLine);
}

// Files carried as Explorer carries them (CF_HDROP), and nothing else. COM
// interfaces have no virtual destructor.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class DroppedFiles final : public IDataObject {
 public:
  explicit DroppedFiles(const std::vector<std::wstring>& paths) : block_(testing::DropFilesBlock(paths)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject) ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, block_.size());
    std::memcpy(GlobalLock(copy), block_.data(), block_.size());
    GlobalUnlock(copy);
    *medium = {};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::vector<char> block_;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// The pointer shows a copy only when the program takes one of the items; a
// move, which would have Explorer delete them, never.
TEST(FileDropTarget, ShowsADropAsWelcomeOnlyWhenTheProgramTakesAnItem) {
  struct Case {
    const char* what;
    bool taken;
    DWORD offered, shown;
  };
  const Case cases[] = {
      {"taken, from Explorer", true, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_COPY},
      {"taken, a link offered", true, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {"taken, only a move offered", true, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {"not taken", false, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
  };
  const std::vector<Text> paths{"C:\\音乐 2024", "C:\\说明.txt"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::vector<Text>> asked, took;
    auto* target = new FileDropTarget(
        [&](const std::vector<Text>& p) {
          asked.push_back(p);
          return c.taken;
        },
        [&](const std::vector<Text>& p) { took.push_back(p); });
    DroppedFiles data({L"C:\\音乐 2024", L"C:\\说明.txt"});
    DWORD effect = c.offered;
    EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
    EXPECT_EQ(effect, c.shown);
    effect = c.offered;
    target->DragOver(MK_LBUTTON, {12, 12}, &effect);
    EXPECT_EQ(effect, c.shown);
    effect = c.offered;
    target->Drop(&data, 0, {12, 12}, &effect);
    EXPECT_EQ(effect, c.shown);
    EXPECT_EQ(asked, std::vector<std::vector<Text>>{paths});
    EXPECT_EQ(took, c.shown ? std::vector<std::vector<Text>>{paths} : std::vector<std::vector<Text>>{});
    target->Release();
  }
}

}  // namespace
}  // namespace quernel::win32
