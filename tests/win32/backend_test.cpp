// The Win32 back-end's pieces the contract cannot see: window, list picks, drops, launch, icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>

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

// The window as designed: focus order, places at 96 DPI, nine-point font, list kinds, frames as
// group boxes (a screen reader reads their caption), the folder's hint, and clicks.
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
    EXPECT_TRUE(dpi != 96 ||
                (r.left == place.left && r.top == place.top && (!place.right || r.right == place.right) &&
                 (!place.bottom || r.bottom == place.bottom)))
        << NameOf(id) << ' ' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
  }
  RECT client;
  GetClientRect(form, &client);
  EXPECT_TRUE(dpi != 96 || (client.right == 426 && client.bottom == 240))
      << client.right << 'x' << client.bottom;

  for (const ControlDesign& design : ControlDesigns()) {
    SCOPED_TRACE(std::string(NameOf(design.id)));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(at(design.id), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
    const auto style = static_cast<DWORD>(GetWindowLongW(at(design.id), GWL_STYLE));
    EXPECT_TRUE(design.kind != ControlKind::PickList || (style & 3) == CBS_DROPDOWNLIST);
    EXPECT_TRUE(design.kind != ControlKind::EditableList || (style & 3) == CBS_DROPDOWN);
    wchar_t windowClass[16] = {};
    GetClassNameW(at(design.id), windowClass, 16);
    EXPECT_TRUE(
        design.kind != ControlKind::Frame ||
        (std::wstring(windowClass) + L' ' + WindowText(at(design.id)) == L"Button " + Wide(design.caption) &&
         (style & BS_TYPEMASK) == BS_GROUPBOX));
  }

  HWND hint = nullptr;
  while ((hint = FindWindowExW(nullptr, hint, TOOLTIPS_CLASSW, nullptr)) &&
         GetWindowThreadProcessId(hint, nullptr) != GetCurrentThreadId()) {
  }
  wchar_t text[256] = {};
  TTTOOLINFOW tool{sizeof tool, 0, form, UINT_PTR(at(txtPath)), {}, nullptr, text, 0, nullptr};
  SendMessageW(hint, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(Utf8(text), texts::kFolderHint);

  for (ControlId id : {chkL, optR, optR, chkT})
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(ControlNumber(id), BN_CLICKED), LPARAM(at(id)));
  EXPECT_EQ(window.GetValue(chkL), 1);
  EXPECT_EQ(window.GetValue(chkT), 0) << "checked by design, unchecked by the click";
  EXPECT_EQ(window.GetValue(optR), 1) << "clicking a checked option keeps it";
  EXPECT_EQ(events.clicks, (std::vector{chkL, optR, optR, chkT}));
}

// One Click for each pick of the user (also of the entry shown), in Windows' and Wine's orders.
// A notification: its letter (Dropdown Selchange selendOk selendCancel closeUp Editchange), CB_GETCURSEL.
TEST(ListPicks, EachPickOfTheUserIsOneClick) {
  const std::tuple<const char*, const char*, int, bool> cases[] = {
      {"a new entry (Windows)", "D0 S2 O2 U2", 1, false},
      {"a new entry (Wine)", "D0 O2 U2 S2", 1, false},
      {"the entry shown (Windows)", "D1 O1 U1", 1, false},
      {"the entry shown (Wine)", "D1 O1 U1 S1", 1, false},
      {"arrows in the opened list, then Enter", "D0 S1 S2 O2 U2", 1, false},
      {"two arrows on the closed list", "S1 S2", 2, false},
      {"a pick, then an arrow (Wine)", "D0 O2 U2 S2 S1", 2, false},
      {"opened and closed again", "D1 C1 U1", 0, false},
      {"moved, then closed by a click elsewhere", "D0 S2 C2 U2", 1, false},
      {"typed over", "E1", 0, true},
      {"typed over, then an arrow", "E1 S2", 1, false},
  };
  const std::map<char, int> codes{{'D', CBN_DROPDOWN},     {'S', CBN_SELCHANGE}, {'O', CBN_SELENDOK},
                                  {'C', CBN_SELENDCANCEL}, {'U', CBN_CLOSEUP},   {'E', CBN_EDITCHANGE}};
  for (const auto& [what, notifications, clicks, typedOver] : cases) {
    ListPicks picks;
    int raised = 0;
    for (const char* n = notifications; *n; n += n[2] ? 3 : 2)
      raised += picks.Notify(codes.at(*n), n[1] - '0');
    EXPECT_EQ(std::pair(raised, picks.TypedOver()), std::pair(clicks, typedOver)) << what;
  }
}

// A copy shown only when the program takes an item; never a move (Explorer would delete them).
// The items as Explorer carries them (CF_HDROP), in OLE's object of the clipboard.
TEST(FileDropTarget, ShowsADropAsWelcomeOnlyWhenTheProgramTakesAnItem) {
  const std::vector<char> block = testing::DropFilesBlock({L"C:\\音乐 2024", L"C:\\说明.txt"});
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(GlobalLock(memory), block.data(), block.size()), GlobalUnlock(memory);
  HWND owner = CreateWindowW(L"Static", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  IDataObject* data = nullptr;
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)) && OpenClipboard(owner) && EmptyClipboard() &&
              SetClipboardData(CF_HDROP, memory) && CloseClipboard() && OleGetClipboard(&data) == S_OK);
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
    EXPECT_EQ((std::vector{enter, over, drop}), (std::vector{shown, shown, shown})) << offered;
    EXPECT_EQ(asked, std::vector<std::vector<Text>>{paths});
    EXPECT_EQ(took, std::vector(shown ? 1u : 0u, paths));
    target->Release();
  }
  data->Release(), DestroyWindow(owner);
}

// A batch file runs through the interpreter without AutoRun (/d) or delayed expansion (/v:off),
// writing Unicode (/u) when asked; other programs as they are. The environment loses the named
// variables and takes the given ones, in any case. cmd /u's error stream is UTF-16LE.
TEST(Launch, CommandLineEnvironmentAndErrorStream) {
  const std::tuple<const wchar_t*, bool, const wchar_t*> cases[] = {
      {L"\"D:\\音乐 100%\\PATH.BAT\"", true,
       L"\"C:\\cmd.exe\" /u /d /v:off /c \"\"D:\\音乐 100%\\PATH.BAT\"\""},
      {L"\"C:\\a b\\run.cmd\"", false, L"\"C:\\cmd.exe\" /d /v:off /c \"\"C:\\a b\\run.cmd\"\""},
      {L"notepad.exe \"C:\\Tools\\path.txt\"", true, L"notepad.exe \"C:\\Tools\\path.txt\""},
      {L"\"C:\\batch files.bat\\tool.exe\" x.bat", false, L"\"C:\\batch files.bat\\tool.exe\" x.bat"},
  };
  for (const auto& [requested, unicode, run] : cases)
    EXPECT_EQ(CommandToRun(requested, L"C:\\cmd.exe", unicode), run);
  using namespace std::string_literals;  // blocks as GetEnvironmentStrings gives them, with their NULs
  EXPECT_EQ(EnvironmentFor(L"dircmd=/w\0=C:=C:\\work\0DIRCMDX=1\0quernel_folder=old\0DIRCMD=\0\0"s.c_str(),
                           {L"DIRCMD"}, {{L"QUERNEL_FOLDER", L"D:\\방탄\\"}, {L"QUERNEL_PATTERN", L"*.*"}}),
            L"=C:=C:\\work\0DIRCMDX=1\0QUERNEL_FOLDER=D:\\방탄\\\0QUERNEL_PATTERN=*.*\0\0"s);
  EXPECT_EQ(ErrorStreamText("\x7E\x62\x0D\x4E\x30\x52\x87\x65\xF6\x4E\r\0\n\0"s), "找不到文件\r\n");
  EXPECT_EQ(ErrorStreamText(std::string("\xD5\xD2\xB2\xBB\xB5\xBD\xCE\xC4\xBC\xFE\r\n")), "找不到文件\r\n");
}

// cmd /u's listing (UTF-16LE) made UTF-8 after a byte-order mark, in 64 KiB reads, in one rename;
// a listing cut inside a character, or not a file, is left as it was; nothing is left beside it.
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
    EXPECT_TRUE(listing != File || testing::ReadBytes(path) == (after.empty() ? bytes : after));
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
      names.push_back(entry.path().filename().wstring());
    EXPECT_EQ(names, std::vector<std::wstring>(listing == Missing ? 0 : 1, L"path.txt"));
  }
}

// resources/quernel.ico is draw_icon.cpp's: one 32x32 image, 256 colours, clear around the folder.
TEST(ProgramIcon, IsWhatTheDrawingProgramDraws) {
  const std::string ico = testing::ReadBytes(testing::HostPath(QUERNEL_ICON_FILE));
  EXPECT_TRUE(ico == icon::FolderIconFile()) << "redraw it: see resources/icon/draw_icon.cpp";
  ASSERT_GE(ico.size(), 22u + 40u + 128u);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(ico.data());
  auto word = [&](std::size_t at) -> std::size_t { return bytes[at] | bytes[at + 1] << 8; };
  const std::size_t image = word(18);
  // Directory: reserved, icon, one image, 32x32, 8 bits, its size; bitmap: 8 bits, 2 x 32 rows.
  EXPECT_EQ((std::vector<std::size_t>{word(0), word(2), word(4), bytes[6], bytes[7], word(12),
                                      image + word(14), word(image + 14), word(image + 8)}),
            (std::vector<std::size_t>{0, 1, 1, 32, 32, 8, ico.size(), 8, 64}));
  auto clear = [&](std::size_t x, std::size_t y) {  // the AND mask ends the file, bottom-up
    return ico[ico.size() - 4 * (y + 1) + x / 8] >> (7 - x % 8) & 1;
  };
  EXPECT_EQ((std::vector{clear(0, 0), clear(31, 31), clear(16, 20), clear(12, 8)}), (std::vector{1, 1, 0, 0}))
      << "corners clear; the folder's front and the sheet of paper drawn";
}

}  // namespace
}  // namespace quernel::win32
