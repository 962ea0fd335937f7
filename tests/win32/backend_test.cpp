// The Win32 back-end's pieces the contract cannot see: window, list picks, drops, launch, icon.
#include <gtest/gtest.h>

#include "design/program_texts.h"
#include "drop_files.h"
#include "folder_icon.h"
#include "platform/win32/win32_drop_target.h"
#include "platform/win32/win32_form_builder.h"
#include "platform/win32/win32_launch.h"
#include "platform/win32/win32_list_picks.h"
#include "platform/win32/win32_listing.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_runtime.h"
#include "support/test_support.h"
// After windows.h:
#include <commctrl.h>

namespace quernel::win32 {
namespace {

using enum ControlId;

// The window as designed (frames are group boxes: a screen reader reads their caption), and clicks.
TEST(Win32Window, IsBuiltAsDesignedAndTakesClicks) {
  testing::RecordingEvents events;
  Win32WindowRuntime window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.CreateForm(events));
  const HWND form = window.Form();
  auto at = [&](ControlId id) { return window.ControlWindow(id); };
  const auto order = FocusOrder();
  for (std::size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(GetNextDlgTabItem(form, at(order[i]), FALSE), at(order[(i + 1) % order.size()]))
        << "after " << NameOf(order[i]);

  const int dpi = GetDeviceCaps(GetDC(form), LOGPIXELSY);
  const std::pair<ControlId, RECT> places[] = {
      // pixels in the form at 96 DPI; 0: not checked
      {txtPath, {72, 12, 355, 34}}, {cmdBrowse, {360, 12, 421, 35}}, {cobType, {69, 54, 236, 0}},
      {optS, {108, 135, 208, 154}}, {optR, {17, 135, 108, 154}},     {cmdExit, {354, 195, 414, 218}},
      {Label5, {9, 222, 0, 0}},     {Frame2, {243, 39, 415, 187}},
  };
  for (auto [id, place] : places) {
    RECT r;
    GetWindowRect(at(id), &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    if (dpi != 96) continue;
    EXPECT_EQ(r.left, place.left) << NameOf(id);
    EXPECT_EQ(r.top, place.top) << NameOf(id);
    EXPECT_EQ(r.right, place.right ? place.right : r.right) << NameOf(id);
    EXPECT_EQ(r.bottom, place.bottom ? place.bottom : r.bottom) << NameOf(id);
  }
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, dpi == 96 ? 426 : client.right);
  EXPECT_EQ(client.bottom, dpi == 96 ? 240 : client.bottom);

  for (const ControlDesign& design : ControlDesigns()) {
    SCOPED_TRACE(std::string(NameOf(design.id)));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(at(design.id), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
    const auto style = static_cast<DWORD>(GetWindowLongW(at(design.id), GWL_STYLE));
    if (design.kind == ControlKind::PickList || design.kind == ControlKind::EditableList) {
      EXPECT_EQ(style & 3, DWORD(design.kind == ControlKind::PickList ? CBS_DROPDOWNLIST : CBS_DROPDOWN));
    }
    if (design.kind != ControlKind::Frame) continue;
    wchar_t windowClass[16] = {};
    GetClassNameW(at(design.id), windowClass, 16);
    EXPECT_EQ(std::wstring(windowClass), L"Button");
    EXPECT_EQ(WindowText(at(design.id)), Wide(design.caption));
    EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_GROUPBOX));
  }

  HWND hint = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  while (hint && GetWindowThreadProcessId(hint, nullptr) != GetCurrentThreadId())
    hint = FindWindowExW(nullptr, hint, TOOLTIPS_CLASSW, nullptr);
  wchar_t text[256] = {};
  TTTOOLINFOW tool{sizeof tool, 0, form, UINT_PTR(at(txtPath)), {}, nullptr, text, 0, nullptr};
  SendMessageW(hint, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(Utf8(text), texts::kFolderHint);

  for (ControlId id : {optR, optR, chkT})
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(ControlNumber(id), BN_CLICKED), LPARAM(at(id)));
  EXPECT_EQ(window.GetValue(chkT), 0) << "checked by design, unchecked by the click";
  EXPECT_EQ(window.GetValue(optR), 1) << "clicking a checked option keeps it";
  EXPECT_EQ(events.clicks, (std::vector{optR, optR, chkT}));
}

// One Click for each pick of the user (also of the entry shown), in Windows' and Wine's orders.
TEST(ListPicks, EachPickOfTheUserIsOneClick) {
  using Notification = std::pair<int, int>;  // the code, and CB_GETCURSEL when it comes
  const Notification dropped0{CBN_DROPDOWN, 0}, dropped1{CBN_DROPDOWN, 1}, changed1{CBN_SELCHANGE, 1},
      changed2{CBN_SELCHANGE, 2}, ok1{CBN_SELENDOK, 1}, ok2{CBN_SELENDOK, 2}, cancelled1{CBN_SELENDCANCEL, 1},
      cancelled2{CBN_SELENDCANCEL, 2}, closed1{CBN_CLOSEUP, 1}, closed2{CBN_CLOSEUP, 2},
      typed1{CBN_EDITCHANGE, 1};
  const struct {
    const char* what;
    std::vector<Notification> notifications;
    int clicks;
    bool typedOver;
  } cases[] = {
      {"a new entry (Windows)", {dropped0, changed2, ok2, closed2}, 1, false},
      {"a new entry (Wine)", {dropped0, ok2, closed2, changed2}, 1, false},
      {"the entry shown (Windows)", {dropped1, ok1, closed1}, 1, false},
      {"the entry shown (Wine)", {dropped1, ok1, closed1, changed1}, 1, false},
      {"arrows in the opened list, then Enter", {dropped0, changed1, changed2, ok2, closed2}, 1, false},
      {"two arrows on the closed list", {changed1, changed2}, 2, false},
      {"a pick, then an arrow (Wine)", {dropped0, ok2, closed2, changed2, changed1}, 2, false},
      {"opened and closed again", {dropped1, cancelled1, closed1}, 0, false},
      {"moved, then closed by a click elsewhere", {dropped0, changed2, cancelled2, closed2}, 1, false},
      {"typed over", {typed1}, 0, true},
      {"typed over, then an arrow", {typed1, changed2}, 1, false},
  };
  for (const auto& [what, notifications, clicks, typedOver] : cases) {
    ListPicks picks;
    int raised = 0;
    for (auto [code, selected] : notifications) raised += picks.Notify(code, selected);
    EXPECT_EQ(raised, clicks) << what;
    EXPECT_EQ(picks.TypedOver(), typedOver) << what;
  }
}

// A copy shown only when the program takes an item; never a move (Explorer would delete them).
TEST(FileDropTarget, ShowsADropAsWelcomeOnlyWhenTheProgramTakesAnItem) {
  const std::vector<char> block = testing::DropFilesBlock({L"C:\\音乐 2024", L"C:\\说明.txt"});
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(GlobalLock(memory), block.data(), block.size()), GlobalUnlock(memory);
  HWND owner = CreateWindowW(L"Static", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  IDataObject* data = nullptr;
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  ASSERT_TRUE(OpenClipboard(owner));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(SetClipboardData(CF_HDROP, memory));
  ASSERT_TRUE(CloseClipboard());
  ASSERT_EQ(OleGetClipboard(&data), S_OK);
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  const std::tuple<bool, DWORD, DWORD> cases[] = {
      // taken, offered, shown
      {true, all, DROPEFFECT_COPY},
      {true, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {true, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {false, all, DROPEFFECT_NONE},
  };
  const std::vector<Text> paths{"C:\\音乐 2024", "C:\\说明.txt"};
  for (const auto& [taken, offered, shown] : cases) {
    std::vector<std::vector<Text>> asked, took;
    auto* target = new FileDropTarget([&](const std::vector<Text>& p) { return asked.push_back(p), taken; },
                                      [&](const std::vector<Text>& p) { took.push_back(p); });
    DWORD enter = offered, over = offered, drop = offered;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, {10, 10}, &enter), S_OK);
    target->DragOver(MK_LBUTTON, {12, 12}, &over);
    target->Drop(data, 0, {12, 12}, &drop);
    EXPECT_EQ(enter, shown) << offered;
    EXPECT_EQ(over, shown) << offered;
    EXPECT_EQ(drop, shown) << offered;
    EXPECT_EQ(asked, std::vector<std::vector<Text>>{paths});
    EXPECT_EQ(took, std::vector(shown ? 1u : 0u, paths));
    target->Release();
  }
  data->Release(), DestroyWindow(owner);
}

// cmd in Unicode (/u), without AutoRun (/d) or delayed expansion (/v:off); variables in any case.
TEST(Launch, CommandLineEnvironmentAndErrorStream) {
  EXPECT_EQ(InterpreterCommandLine(L"C:\\cmd.exe", L"D:\\音乐 100%\\PATH.BAT"),
            L"\"C:\\cmd.exe\" /u /d /v:off /c \"\"D:\\音乐 100%\\PATH.BAT\"\"");
  using namespace std::string_literals;  // blocks as GetEnvironmentStrings gives them, with their NULs
  EXPECT_EQ(EnvironmentFor(L"dircmd=/w\0=C:=C:\\work\0DIRCMDX=1\0quernel_folder=old\0DIRCMD=\0\0"s.c_str(),
                           {L"DIRCMD"}, {{L"QUERNEL_FOLDER", L"D:\\방탄\\"}, {L"QUERNEL_PATTERN", L"*.*"}}),
            L"=C:=C:\\work\0DIRCMDX=1\0QUERNEL_FOLDER=D:\\방탄\\\0QUERNEL_PATTERN=*.*\0\0"s);
  EXPECT_EQ(ErrorStreamText("\x7E\x62\x0D\x4E\x30\x52\x87\x65\xF6\x4E\r\0\n\0"s), "找不到文件\r\n");
  EXPECT_EQ(ErrorStreamText(std::string("\xD5\xD2\xB2\xBB\xB5\xBD\xCE\xC4\xBC\xFE\r\n")), "找不到文件\r\n");
}

// The listing's run starts in the system folder, not in the folder the program is in (here the build's).
TEST(Launch, TheRunStartsInTheSystemFolder) {
  testing::TempFolder folder;
  folder.Write("path.bat", "cd >\"" + folder.Name() + "\\Path.txt\"\r\n");
  Win32WindowRuntime window(GetModuleHandleW(nullptr));
  const auto end = window.RunListing({folder.Name() + "\\path.bat", folder.Name() + "\\path.txt", {}, {}},
                                     [] { return false; });
  ASSERT_TRUE(end) << end.error();
  EXPECT_EQ(folder.Read("path.txt"), "\xEF\xBB\xBF" + Utf8(SystemFolder()) + "\r\n");
}

// cmd /u's listing made UTF-8 after a byte-order mark, in 64 KiB reads; one cut inside a character,
// or not a file, is left as it was; nothing is left beside it.
TEST(Listing, IsMadeUtf8WithAMarkOrLeftAsItWas) {
  auto le = [](std::u16string_view units) {
    std::string bytes;
    for (char16_t unit : units) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
  };
  const std::string mark = "\xEF\xBB\xBF";
  // One unit short of a read: the emoji's high half ends the first read, its low half starts the next.
  const std::u16string filler(64 * 1024 / 2 - 1, u'a');
  const std::string fillerUtf8(filler.size(), 'a');
  // Not valid UTF-16 but no cut: WideCharToMultiByte makes each half U+FFFD.
  const std::u16string unpaired{u'a', 0xD83D, u'b', 0xDE00, u'c'};
  enum Listing { File, Missing, Folder };
  struct Case {
    const char* what;
    Listing listing;
    std::string bytes, after;  // the listing's bytes before and after; after "": as before
    std::string_view failure;
  };
  const Case cases[] = {
      {"scripts",
       File,
       le(u"C 音乐\\说明.txt 한국어 Tiếng Việt\r\n"),
       mark + "C 音乐\\说明.txt 한국어 Tiếng Việt\r\n",
       {}},
      {"an emoji across two reads", File, le(filler + u"😀.txt\r\n"), mark + fillerUtf8 + "😀.txt\r\n", {}},
      {"unpaired surrogates inside", File, le(unpaired), mark + "a\uFFFDb\uFFFDc", {}},
      {"empty", File, "", mark, {}},
      {"an odd byte count", File, le(u"音乐") + 'a', "", texts::kListingCutShort},
      {"a high surrogate at the end", File, le(u"ab\xD83D"), "", texts::kListingCutShort},
      {"a high surrogate at the end of a read", File, le(filler + u"\xD83D"), "", texts::kListingCutShort},
      {"missing", Missing, "", "", {}},
      {"a folder", Folder, "", "", texts::kListingNotRegular},
  };
  for (const auto& [what, listing, bytes, after, failure] : cases) {
    SCOPED_TRACE(what);
    testing::TempFolder folder;
    const auto path = folder.Path() / "path.txt";
    if (listing == File) testing::WriteBytes(path, bytes);
    if (listing == Folder) std::filesystem::create_directory(path);
    EXPECT_EQ(ListingToUtf8(path.wstring()), failure);
    EXPECT_EQ(std::filesystem::is_directory(path), listing == Folder);
    if (listing == File) {
      EXPECT_EQ(testing::ReadBytes(path), after.empty() ? bytes : after);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}),
              listing == Missing ? 0 : 1)
        << "a file beside the listing";
  }
}

// resources/quernel.ico is draw_icon.cpp's, clear around the folder.
TEST(ProgramIcon, IsWhatTheDrawingProgramDraws) {
  const std::string ico = testing::ReadBytes(testing::HostPath(QUERNEL_ICON_FILE));
  EXPECT_TRUE(ico == icon::FolderIconFile()) << "redraw it: see resources/icon/draw_icon.cpp";
  ASSERT_GE(ico.size(), 128u);
  auto clear = [&](std::size_t x, std::size_t y) -> std::size_t {  // the AND mask ends the file, bottom-up
    return ico[ico.size() - 4 * (y + 1) + x / 8] >> (7 - x % 8) & 1;
  };
  const std::tuple<const char*, std::size_t, std::size_t> fields[] = {
      {"the top left corner clear", clear(0, 0), 1},
      {"the bottom right corner clear", clear(31, 31), 1},
      {"the folder's front drawn", clear(16, 20), 0},
      {"the sheet of paper drawn", clear(12, 8), 0},
  };
  for (const auto& [what, value, expected] : fields) EXPECT_EQ(value, expected) << what;
}

}  // namespace
}  // namespace quernel::win32
