// Quernel.exe worked as a user works it, from another process: window
// messages type into the fields, pick list entries, press buttons and keys
// and answer the boxes. Its batch file is run by the system's real cmd on a
// folder with Chinese names, hidden and read-only files and a subfolder.
// notepad.exe and explorer.exe are recording stand-ins (recorder.cpp) put in
// the program folder, where CreateProcess looks first.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>

#include "core/frm_main.h"
#include "design/form_design.h"
#include "design/program_texts.h"
#include "drop_files.h"
#include "platform/win32/win32_form_builder.h"
#include "platform/win32/win32_text.h"
#include "png_writer.h"
#include "support/test_support.h"
// After windows.h:
#include <tlhelp32.h>

namespace quernel::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using enum ControlId;
using win32::Utf8;
using win32::Wide;

constexpr auto kPatience = 20s;
constexpr wchar_t kFormClass[] = L"QuernelFormWindow";

// --- Files ------------------------------------------------------------------------

// The lines of a listing cmd wrote in the OEM code page (936, or 437 in
// English).
std::vector<std::wstring> ListingLines(const std::string& oem) {
  std::wstring text(oem.size(), L'\0');
  text.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_OEMCP, 0, oem.data(), static_cast<int>(oem.size()), text.data(), static_cast<int>(text.size()))));
  std::vector<std::wstring> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds patience = kPatience) {
  for (auto until = std::chrono::steady_clock::now() + patience; std::chrono::steady_clock::now() < until;) {
    if (done()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return done();
}

std::wstring TextOf(HWND window) {
  wchar_t text[2048] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// What the screen shows of a window.
RgbImage Capture(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  RgbImage image{frame.right - frame.left, frame.bottom - frame.top, {}};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, image.width, image.height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const auto stride = static_cast<std::size_t>((image.width * 3 + 3) & ~3);
  std::vector<std::uint8_t> bgr(stride * static_cast<std::size_t>(image.height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(image.height), bgr.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = &bgr[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
      image.rgb.insert(image.rgb.end(), {p[2], p[1], p[0]});
    }
  return image;
}

bool HasBlue(const RgbImage& image) {
  for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
    if (image.rgb[i] < 60 && image.rgb[i + 1] < 60 && image.rgb[i + 2] > 200) return true;
  return false;
}

// A window painted in full, saved as a PNG among the build's screenshots for
// a person to look at.
RgbImage Photograph(HWND window, const wchar_t* fileName) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const RgbImage image = Capture(window);
  WriteBytes(fs::path(HostPath(QUERNEL_SCREENSHOTS)) / fileName, EncodePng(image));
  return image;
}

// --- The program under test ----------------------------------------------------

// A box of the program: the dialog manager's window class "#32770".
struct Box {
  HWND window = nullptr;
  std::wstring title;
  std::vector<std::wstring> texts;  // of the static controls
  int buttons = 0;
  bool Shows(std::string_view text) const {
    return std::find(texts.begin(), texts.end(), Wide(text)) != texts.end();
  }
};

class QuernelSession : public ::testing::Test {
 public:
  void SetUp() override {
    fs::create_directories(programFolder_);
    InstallProgram(programFolder_);
    SetEnvironmentVariableW(L"QUERNEL_RECORDER_FOLDER", root_.c_str());
  }

  void TearDown() override {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  static void InstallProgram(const fs::path& folder) {
    fs::copy_file(HostPath(QUERNEL_EXE), folder / L"Quernel.exe", fs::copy_options::overwrite_existing);
    fs::copy_file(HostPath(QUERNEL_HELP), folder / L"help.htm", fs::copy_options::overwrite_existing);
    for (const wchar_t* standIn : {L"notepad.exe", L"explorer.exe"})
      fs::copy_file(HostPath(QUERNEL_RECORDER), folder / standIn, fs::copy_options::overwrite_existing);
  }

  // A folder to list: Chinese names, a hidden and a read-only file, a
  // subfolder, and sizes that sort a.txt (10) < c.txt (20) < b.mp3 (30).
  fs::path MakeMusicFolder() {
    const fs::path music = root_ / L"音乐";
    fs::create_directories(music / L"子文件夹");
    const std::tuple<const wchar_t*, std::size_t, DWORD> files[] = {
        {L"a.txt", 10, 0},
        {L"b.mp3", 30, 0},
        {L"c.txt", 20, 0},
        {L"歌曲.mp3", 5, 0},
        {L"Upper.MP3", 40, 0},
        {L"隐藏.txt", 1, FILE_ATTRIBUTE_HIDDEN},
        {L"只读.txt", 2, FILE_ATTRIBUTE_READONLY},
    };
    for (const auto& [name, size, attributes] : files) {
      WriteBytes(music / name, std::string(size, 'x'));
      if (attributes) SetFileAttributesW((music / name).c_str(), attributes);
    }
    return music;
  }

  // Quernel.exe with `arguments` after its name, started in root_.
  void Start(const fs::path& programFolder, const std::wstring& arguments = {}) {
    std::wstring commandLine = L'"' + (programFolder / L"Quernel.exe").wstring() + L'"';
    if (!arguments.empty()) commandLine += L' ' + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               root_.c_str(), &startup, &process_));
    ASSERT_TRUE(WaitFor([&] { return (form_ = FindOwnWindow(kFormClass)) && IsWindowVisible(form_); }))
        << "Quernel's window did not appear";
    WaitForInputIdle(process_.hProcess, 5000);
  }
  void Start() { Start(programFolder_); }

  // Items dropped on the window as the shell drops them: WM_DROPFILES with
  // an HDROP, here made in the program's own memory, where it reads it.
  void Drop(const std::vector<fs::path>& items) {
    std::vector<std::wstring> paths;
    for (const fs::path& item : items) paths.push_back(item.wstring());
    const std::vector<char> block = DropFilesBlock(paths);
    void* there =
        VirtualAllocEx(process_.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(there, nullptr);
    ASSERT_TRUE(WriteProcessMemory(process_.hProcess, there, block.data(), block.size(), nullptr));
    PostMessageW(form_, WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0);
    Settle();
  }

  HWND FindOwnWindow(const wchar_t* windowClass) const {
    struct Search {
      DWORD process;
      const wchar_t* windowClass;
      HWND found;
    } search{process_.dwProcessId, windowClass, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner != s->process || ClassOf(window) != s->windowClass || !IsWindowVisible(window))
            return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  HWND Control(ControlId id) const { return GetDlgItem(form_, win32::ControlNumber(id)); }

  void Type(ControlId id, const std::wstring& text) {
    HWND field = Control(id);
    if (HWND edit = FindWindowExW(field, nullptr, L"Edit", nullptr))
      field = edit;  // an editable list's field
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Pick(ControlId list, int index) {
    SendMessageW(Control(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(form_, WM_COMMAND, MAKEWPARAM(win32::ControlNumber(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(list)));
  }
  // A click that may open a box: posted, so that the test goes on meanwhile.
  void Press(ControlId button) { PostMessageW(Control(button), BM_CLICK, 0, 0); }
  void Click(ControlId button) { SendMessageW(Control(button), BM_CLICK, 0, 0); }
  int Checked(ControlId button) const {
    return static_cast<int>(SendMessageW(Control(button), BM_GETCHECK, 0, 0));
  }

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(form_, nullptr), &info);
    return info.hwndFocus;
  }
  // A key as the keyboard sends it to the focused control; letters with Alt.
  void Key(WPARAM key) {
    PostMessageW(Focus(), WM_KEYDOWN, key, 1);
    PostMessageW(Focus(), WM_KEYUP, key, 0xC0000001);
    Settle();
  }
  void AltKey(wchar_t letter) {
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageW(Focus(), WM_SYSCHAR, letter, kAltDown | 1);
    Settle();
  }
  // Waits until the program has taken everything posted to it so far (or
  // has closed its window): a thread takes its posted messages in order, so
  // once a limit posted last to the folder field is set, those before it
  // are handled.
  void Settle() {
    static WPARAM marker = 0x7FFF0000;
    const WPARAM mark = ++marker;
    HWND field = Control(txtPath);
    PostMessageW(field, EM_SETLIMITTEXT, mark, 0);
    EXPECT_TRUE(WaitFor([&] {
      DWORD_PTR limit = 0;
      SendMessageTimeoutW(field, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 5000, &limit);
      return limit == mark || !IsWindow(field);
    })) << "the program does not take its messages";
  }

  Box WaitForBox() {
    Box box;
    if (!WaitFor([&] { return (box.window = FindOwnWindow(L"#32770")) != nullptr; })) return box;
    // Built: it has its buttons, and looks the same twice running.
    Box last;
    WaitFor([&] {
      last = box;
      box.title.clear();
      box.texts.clear();
      box.buttons = 0;
      box.title = TextOf(box.window);
      for (HWND child : Children(box.window)) {
        const std::wstring kind = ClassOf(child);
        if (_wcsicmp(kind.c_str(), L"Static") == 0 && !TextOf(child).empty())
          box.texts.push_back(TextOf(child));
        if (_wcsicmp(kind.c_str(), L"Button") == 0 && IsWindowVisible(child)) ++box.buttons;
      }
      return box.buttons > 0 && box.title == last.title && box.texts == last.texts &&
             box.buttons == last.buttons;
    });
    return box;
  }
  void Answer(const Box& box, int button = IDOK) {
    PostMessageW(box.window, WM_COMMAND, static_cast<WPARAM>(button), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box.window); })) << "the box stays";
  }

  bool HasRunningChild(const wchar_t* name) const {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
      found = found ||
              (entry.th32ParentProcessID == process_.dwProcessId && _wcsicmp(entry.szExeFile, name) == 0);
    CloseHandle(snapshot);
    return found;
  }

  bool Exited() { return WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0; }

  std::wstring WaitForRecord(const wchar_t* standIn) {
    const fs::path record = root_ / (std::wstring(standIn) + L".command-line.txt");
    // Written whole: the stand-in has let go of the file.
    if (!WaitFor([&] {
          HANDLE file = CreateFileW(record.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
          if (file == INVALID_HANDLE_VALUE) return false;
          CloseHandle(file);
          return fs::file_size(record) > 0;
        }))
      return L"(not started)";
    return Wide(ReadBytes(record));
  }

  // The output as a user asks for it: the notice is the sign it is done.
  Box Output() {
    Press(cmdOut);
    return WaitForBox();
  }
  // An output that succeeds: the notice, answered.
  void OutputWithNotice() {
    const Box notice = Output();
    ASSERT_TRUE(notice.window) << "no notice";
    EXPECT_TRUE(notice.Shows(texts::kNotice));
    Answer(notice);
  }

  TempFolder temp_;
  fs::path root_ = temp_.Path(), programFolder_ = root_ / L"程序";
  PROCESS_INFORMATION process_{};  // Quernel.exe
  HWND form_ = nullptr;
};

// --- The listing --------------------------------------------------------------------

struct ListingCase {
  const char* name;
  std::function<void(QuernelSession&)> choose;
  std::vector<std::wstring> expected;  // the lines of path.txt
  bool ordered;
};

class Listing : public QuernelSession, public ::testing::WithParamInterface<ListingCase> {};

TEST_P(Listing, CmdListsWhatTheWindowChose) {
  const fs::path music = MakeMusicFolder();
  Start();
  Type(txtPath, music.wstring());
  GetParam().choose(*this);
  OutputWithNotice();

  const std::string listing = ReadBytes(programFolder_ / L"path.txt");
  std::vector<std::wstring> lines = ListingLines(listing);
  std::vector<std::wstring> expected = GetParam().expected;
  if (!GetParam().ordered) {
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(lines, expected) << listing;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Choices, Listing, ::testing::Values(
    ListingCase{"Defaults", [](QuernelSession&) {},
                {L"a.txt", L"b.mp3", L"c.txt", L"歌曲.mp3", L"Upper.MP3", L"只读.txt", L"子文件夹"}, false},
    ListingCase{"AllWithHidden", [](QuernelSession& s) { s.Pick(cobType, 1); },
                {L"a.txt", L"b.mp3", L"c.txt", L"歌曲.mp3", L"Upper.MP3", L"只读.txt", L"子文件夹", L"隐藏.txt"},
                false},
    ListingCase{"OnlyHidden", [](QuernelSession& s) {
                  s.Pick(cobType, 2);
                  s.Click(optH);
                }, {L"隐藏.txt"}, false},
    ListingCase{"TextFilesLargestFirst", [](QuernelSession& s) {
                  s.Type(cobFilter, L"*.txt");
                  s.Pick(cobSort, 1);
                  s.Pick(cobWay, 2);
                }, {L"c.txt", L"a.txt", L"只读.txt"}, true},
    ListingCase{"Mp3ByNameLowercase", [](QuernelSession& s) {
                  s.Pick(cobFilter, 2);
                  s.Click(chkL);
                }, {L"b.mp3", L"upper.mp3", L"歌曲.mp3"}, false}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

// --- A folder from outside the window ----------------------------------------------

struct StartCase {
  const char* name;
  const wchar_t* arguments;  // {R}: the folder the program starts in
  const wchar_t* field;
};

class StartedWith : public QuernelSession, public ::testing::WithParamInterface<StartCase> {};

std::wstring WithRoot(std::wstring text, const fs::path& root) {
  for (auto at = text.find(L"{R}"); at != std::wstring::npos; at = text.find(L"{R}"))
    text.replace(at, 3, root.wstring());
  return text;
}

// The folder stands in the field and nothing else differs from a plain start.
TEST_P(StartedWith, TheFolderStandsInTheFieldAndTheRestAsEver) {
  MakeMusicFolder();
  fs::create_directories(root_ / L"音乐 2024");
  WriteBytes(root_ / L"音乐 2024" / L"歌.mp3", "mp3");
  Start(programFolder_, WithRoot(GetParam().arguments, root_));
  EXPECT_EQ(TextOf(Control(txtPath)), WithRoot(GetParam().field, root_));
  EXPECT_EQ(Focus(), Control(cmdOut));
  EXPECT_EQ(Checked(chkT), 1);
  EXPECT_EQ(TextOf(Control(cobFilter)), L"*.*");
  OutputWithNotice();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Arguments, StartedWith, ::testing::Values(
    StartCase{"AChinesePathWithASpace", L"\"{R}\\音乐 2024\"", L"{R}\\音乐 2024"},
    StartCase{"ARelativeFileThenNothing", L"\"音乐 2024\\歌.mp3\" 没有", L"{R}\\音乐 2024"},
    StartCase{"AQuotedFolderEndingInABackslash", L"\"{R}\\音乐\\\"", L"{R}\\音乐\\"}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

TEST_F(QuernelSession, ADroppedFolderOrFileFillsTheFolderField) {
  const fs::path music = MakeMusicFolder();
  fs::create_directories(root_ / L"音乐 2024");
  Start();
  // RegisterDragDrop keeps the target in this property of the window:
  // Explorer's drags then come by OLE, which can refuse them.
  EXPECT_NE(GetPropW(form_, L"OleDropTargetInterface"), nullptr) << "no OLE drop target";
  Type(txtPath, L"D:\\旧");
  Drop({root_ / L"没有"});
  EXPECT_EQ(TextOf(Control(txtPath)), L"D:\\旧") << "nothing there: nothing changes";
  Drop({music});
  EXPECT_EQ(TextOf(Control(txtPath)), music.wstring());
  Drop({music / L"歌曲.mp3"});
  EXPECT_EQ(TextOf(Control(txtPath)), music.wstring()) << "a file: its folder";
  Drop({music / L"a.txt", root_ / L"音乐 2024", music});
  EXPECT_EQ(TextOf(Control(txtPath)), (root_ / L"音乐 2024").wstring()) << "the first folder";
  EXPECT_EQ(Focus(), Control(cmdOut));
  SetForegroundWindow(form_);
  Photograph(form_, L"quernel-drop.png");
  OutputWithNotice();
  EXPECT_NE(ReadBytes(programFolder_ / L"path.bat").find(" 2024\\*.*\""), std::string::npos);
}

// --- Listings that fail ------------------------------------------------------------

// cmd ends the batch file's bare "exit" with 0 whatever dir met; its words on
// the error stream are what tell. The listing stays where it is, no viewer.
struct FailureCase {
  const char* name;
  std::function<void(QuernelSession&, const fs::path& music)> choose;
  const wchar_t* words;  // what cmd wrote to its error stream
};

class FailedListing : public QuernelSession, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailedListing, ShowsCmdsWordsInsteadOfTheNoticeAndOpensNoViewer) {
  const fs::path music = MakeMusicFolder();
  Start();
  Type(txtPath, music.wstring());
  GetParam().choose(*this, music);
  const Box error = Output();
  ASSERT_TRUE(error.window) << "no box";
  ASSERT_EQ(error.texts.size(), 1u);
  const std::wstring& prompt = error.texts[0];
  EXPECT_EQ(prompt.find(Wide(texts::kNotice)), std::wstring::npos);
  EXPECT_NE(prompt.find(L"文件列表没有完成"), std::wstring::npos) << Utf8(prompt);
  EXPECT_NE(prompt.find(GetParam().words), std::wstring::npos) << Utf8(prompt);
  EXPECT_NE(prompt.find((programFolder_ / L"path.txt").wstring()), std::wstring::npos) << Utf8(prompt);
  Answer(error);
  EXPECT_TRUE(fs::exists(programFolder_ / L"path.txt")) << "left for the user to look at";
  Settle();  // the handler has returned: a viewer it started is running or has recorded
  EXPECT_FALSE(HasRunningChild(L"notepad.exe")) << "a viewer was started";
  EXPECT_FALSE(fs::exists(root_ / L"notepad.command-line.txt")) << "a viewer was started";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, FailedListing, ::testing::Values(
    FailureCase{"MissingFolder", [](QuernelSession& s, const fs::path& music) {
                  s.Type(txtPath, (music / L"不存在").wstring());
                }, L"找不到文件。"},
    FailureCase{"HideWithoutAKindChosen", [](QuernelSession& s, const fs::path&) {
                  s.Pick(cobType, 3);
                }, L"无效参数。"}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

TEST_F(QuernelSession, AnOldListingHeldOpenIsNeverShownAsTheNewOne) {
  const fs::path listing = programFolder_ / L"path.txt";
  WriteBytes(listing, "old listing\r\n");
  // A viewer that keeps the file open without letting it be deleted.
  HANDLE held = CreateFileW(listing.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Start();
  Type(txtPath, root_.wstring());
  const Box error = Output();
  ASSERT_TRUE(error.window) << "no box";
  ASSERT_EQ(error.texts.size(), 1u);
  EXPECT_NE(error.texts[0].find(L"无法删除上次的文件列表"), std::wstring::npos) << Utf8(error.texts[0]);
  EXPECT_NE(error.texts[0].find(listing.wstring()), std::wstring::npos) << Utf8(error.texts[0]);
  Answer(error);
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(listing), "old listing\r\n");
  EXPECT_FALSE(fs::exists(programFolder_ / L"path.bat")) << "nothing is run";
  EXPECT_FALSE(fs::exists(root_ / L"notepad.command-line.txt"));
}

// --- The batch file and the viewer ---------------------------------------------------

TEST_F(QuernelSession, BatchFileIsTheCommandInTheOemCodePage) {
  const fs::path music = MakeMusicFolder();
  Start();
  Type(txtPath, music.wstring());
  const Box notice = Output();
  ASSERT_TRUE(notice.window);
  EXPECT_EQ(notice.title, L"Quernel");
  EXPECT_EQ(notice.buttons, 1) << "OK alone";
  Photograph(notice.window, L"quernel-notice.png");
  Answer(notice);

  const std::string root = Utf8(root_.wstring());
  ASSERT_TRUE(std::all_of(root.begin(), root.end(), [](char c) { return c > 0; })) << "an ASCII temp folder";
  // 音乐 and 程序 in code page 936.
  const std::string expected = "dir \"" + root + "\\\xD2\xF4\xC0\xD6\\*.*\"    /o:n /B >\"" + root +
                               "\\\xB3\xCC\xD0\xF2\\Path.txt\"\r\nexit\r\n";
  EXPECT_EQ(ReadBytes(programFolder_ / L"path.bat"), expected);
  EXPECT_EQ(WaitForRecord(L"notepad"), L"notepad.exe \"" + (programFolder_ / L"path.txt").wstring() + L'"');
}

TEST_F(QuernelSession, APercentSignInTheFolderIsDoubledInTheBatchFile) {
  const fs::path folder = root_ / L"100%";
  fs::create_directories(folder);
  WriteBytes(folder / L"x.txt", "x");
  Start();
  Type(txtPath, folder.wstring());
  OutputWithNotice();
  EXPECT_NE(ReadBytes(programFolder_ / L"path.bat").find("\\100%%\\*.*"), std::string::npos);
  EXPECT_EQ(ListingLines(ReadBytes(programFolder_ / L"path.txt")), std::vector<std::wstring>{L"x.txt"});
}

TEST_F(QuernelSession, AQuoteInThePatternIsRefusedAndNothingIsWritten) {
  Start();
  Type(txtPath, root_.wstring());
  Type(cobFilter, L"*.txt\"");
  const Box error = Output();
  ASSERT_TRUE(error.window);
  EXPECT_EQ(error.title, L"Quernel");
  EXPECT_TRUE(error.Shows(texts::kPatternHasForbiddenCharacter));
  Photograph(error.window, L"quernel-error.png");
  Answer(error);
  EXPECT_FALSE(fs::exists(programFolder_ / L"path.bat"));
}

// --- Under an English locale -------------------------------------------------------------

// Run by a CTest entry of their own under LC_ALL=en_US.UTF-8, where Wine's
// ANSI code page (1252) and OEM one (437) differ, unlike in Chinese (both
// 936). Quernel.exe takes the code pages of this process.
class QuernelInEnglish : public QuernelSession {
 public:
  void SetUp() override {
    QuernelSession::SetUp();
    ASSERT_EQ(GetACP(), 1252u) << "not under an English locale";
    ASSERT_EQ(GetOEMCP(), 437u);
    programFolder_ = root_ / L"program";  // 程序 has no place in 437
    fs::create_directories(programFolder_);
    InstallProgram(programFolder_);
  }
};

TEST_F(QuernelInEnglish, TheBatchFileIsInTheOemCodePageNotTheAnsiOne) {
  const fs::path cafe = root_ / L"café";
  fs::create_directories(cafe);
  WriteBytes(cafe / L"x.txt", "x");
  Start();
  Type(txtPath, cafe.wstring());
  OutputWithNotice();
  const std::string root = Utf8(root_.wstring());
  // é is 0x82 in code page 437 and 0xE9 in 1252.
  EXPECT_EQ(ReadBytes(programFolder_ / L"path.bat"),
            "dir \"" + root + "\\caf\x82\\*.*\"    /o:n /B >\"" + root + "\\program\\Path.txt\"\r\nexit\r\n");
  EXPECT_EQ(ListingLines(ReadBytes(programFolder_ / L"path.txt")), std::vector<std::wstring>{L"x.txt"});
}

// Best fit would turn ā into "a" (in 1252 as in 437): "a*.txt" lists other
// files.
TEST_F(QuernelInEnglish, ACharacterOutsideTheCodePageIsRefusedNotMadeALookAlike) {
  Start();
  Type(txtPath, root_.wstring());
  Type(cobFilter, L"ā*.txt");
  const Box error = Output();
  ASSERT_TRUE(error.window);
  EXPECT_TRUE(error.Shows(FillMessage(texts::kPatternNotInCodePage, "ā", "437")));
  Answer(error);
  EXPECT_FALSE(fs::exists(programFolder_ / L"path.bat"));
}

// --- Leaving ---------------------------------------------------------------------------

// Esc (true) and the close box (false) alike.
class Leaving : public QuernelSession, public ::testing::WithParamInterface<bool> {};

TEST_P(Leaving, ClosesTheWindowRemovesTheBatchFileAndKeepsTheListing) {
  Start();
  Type(txtPath, root_.wstring());
  OutputWithNotice();
  ASSERT_TRUE(fs::exists(programFolder_ / L"path.bat"));
  if (GetParam())
    Key(VK_ESCAPE);
  else
    PostMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(Exited());
  EXPECT_FALSE(fs::exists(programFolder_ / L"path.bat"));
  EXPECT_TRUE(fs::exists(programFolder_ / L"path.txt")) << "the listing stays for the user";
}

INSTANTIATE_TEST_SUITE_P(ByEscOrCloseBox, Leaving, ::testing::Bool());

// --- Keyboard ----------------------------------------------------------------------------

TEST_F(QuernelSession, KeysWorkTheWindow) {
  Start();
  EXPECT_EQ(Focus(), Control(cmdOut)) << "the window opens with the focus on the output button";
  AltKey(L'f');
  EXPECT_TRUE(WaitFor([&] { return Focus() == Control(txtPath); }))
      << "the label's access key leads to the folder";
  AltKey(L'w');
  EXPECT_TRUE(WaitFor([&] { return Checked(chkW) == 1; }));
  EXPECT_EQ(Checked(chkT), 0) << "the style boxes exclude each other";
  AltKey(L't');
  EXPECT_TRUE(WaitFor([&] { return Checked(chkT) == 1; }));
  EXPECT_EQ(Checked(chkW), 0);
  AltKey(L'l');
  EXPECT_TRUE(WaitFor([&] { return Checked(chkL) == 1; }));

  Type(txtPath, root_.wstring());
  Key(VK_RETURN);  // the default button
  const Box notice = WaitForBox();
  ASSERT_TRUE(notice.window) << "Enter did not output";
  EXPECT_TRUE(notice.Shows(texts::kNotice));
  Answer(notice);
  EXPECT_NE(ReadBytes(programFolder_ / L"path.bat").find(" /o:n /l /B >"), std::string::npos);
}

TEST_F(QuernelSession, BrowseShowsTheFolderPickerAndCancelKeepsTheField) {
  Start();
  Type(txtPath, L"D:\\旧");
  AltKey(L'b');  // from the output button the next "B" is Browse
  const Box picker = WaitForBox();
  ASSERT_TRUE(picker.window) << "no folder picker";
  EXPECT_TRUE(picker.Shows(texts::kFolderPrompt));
  Answer(picker, IDCANCEL);
  EXPECT_EQ(TextOf(Control(txtPath)), L"D:\\旧");
}

// --- About and help ------------------------------------------------------------------------

TEST_F(QuernelSession, AboutShowsTheNameAndCopyright) {
  Start();
  Press(cmdAbout);
  const Box about = WaitForBox();
  ASSERT_TRUE(about.window) << "no About box";
  EXPECT_NE(about.title.find(L"Quernel"), std::wstring::npos) << Utf8(about.title);
  const bool copyright = std::any_of(about.texts.begin(), about.texts.end(), [](const std::wstring& t) {
    return t.find(Wide(texts::kCopyright)) != std::wstring::npos;
  });
  EXPECT_TRUE(copyright);
  Photograph(about.window, L"quernel-about.png");
  Answer(about);
  EXPECT_EQ(WaitForSingleObject(process_.hProcess, 0), WAIT_TIMEOUT) << "the program goes on";
}

TEST_F(QuernelSession, HelpOpensThePageWithTheFileManager) {
  Start();
  Press(cmdHelp);
  EXPECT_EQ(WaitForRecord(L"explorer"), L"explorer.exe \"" + (programFolder_ / L"help.htm").wstring() + L'"');
}

// --- A program folder the user cannot write ------------------------------------------------

TEST_F(QuernelSession, AReadOnlyProgramFolderSendsTheWorkToTheUsersFolder) {
  if (std::string_view(QUERNEL_READ_ONLY_PROGRAM_FOLDER).empty())
    GTEST_SKIP() << "no read-only folder fixture";
  const fs::path readOnly = HostPath(QUERNEL_READ_ONLY_PROGRAM_FOLDER);
  if (!fs::exists(readOnly / L"Quernel.exe")) GTEST_SKIP() << "no read-only program folder on this host";
  const fs::path probe = readOnly / L"probe.tmp";
  if (HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    GTEST_SKIP() << "the folder could not be made read-only here (chattr +i needs root on ext2/3/4)";
  }
  wchar_t localAppData[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH), 0u);
  const fs::path work = fs::path(localAppData) / L"Quernel";
  std::error_code error;
  fs::remove(work / L"path.bat", error);

  Start(readOnly);
  Type(txtPath, root_.wstring());
  OutputWithNotice();
  const std::string batch = ReadBytes(work / L"path.bat");
  EXPECT_NE(batch.find(">\"" + Utf8(work.wstring()) + "\\Path.txt\""), std::string::npos) << batch;
  EXPECT_EQ(WaitForRecord(L"notepad"), L"notepad.exe \"" + (work / L"path.txt").wstring() + L'"');
  Key(VK_ESCAPE);
  ASSERT_TRUE(Exited());
  EXPECT_FALSE(fs::exists(work / L"path.bat")) << "Unload removes it there too";
}

// --- The window as the user sees it --------------------------------------------------------

TEST_F(QuernelSession, WindowHasItsDesignedSizeAndIsPhotographed) {
  Start();
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client;
  GetClientRect(form_, &client);
  EXPECT_EQ(client.right, MulDiv(kFormDesign.clientWidth, dpi, 1440));
  EXPECT_EQ(client.bottom, MulDiv(kFormDesign.clientHeight, dpi, 1440));

  SetForegroundWindow(form_);
  RgbImage image;
  EXPECT_TRUE(WaitFor([&] { return HasBlue(image = Photograph(form_, L"quernel-window.png")); }))
      << "the lists' text is blue";
  // The form's background shows inside a frame as beside it: right of optS
  // and left of Frame1.
  auto pixel = [&](int x, int y) {
    RECT window;
    GetWindowRect(form_, &window);
    POINT at{MulDiv(x, dpi, 96), MulDiv(y, dpi, 96)};
    ClientToScreen(form_, &at);
    const auto i = 3 * (std::ptrdiff_t{at.y - window.top} * image.width + (at.x - window.left));
    return std::vector<std::uint8_t>(image.rgb.begin() + i, image.rgb.begin() + i + 3);
  };
  EXPECT_EQ(pixel(230, 140), pixel(3, 140));
}

// --- A packaged program -------------------------------------------------------------------------

// The release's checks run the program where a user puts it, unpacked from
// the ZIP or installed by the MSI: QUERNEL_PACKAGED_PROGRAM names that
// folder. One whole output run, as in the tests above; the listing stays.
TEST_F(QuernelSession, APackagedProgramMakesAWholeListing) {
  wchar_t named[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"QUERNEL_PACKAGED_PROGRAM", named, MAX_PATH))
    GTEST_SKIP() << "QUERNEL_PACKAGED_PROGRAM names no packaged program";
  const fs::path program = named;
  ASSERT_TRUE(fs::exists(program / L"Quernel.exe")) << program;
  for (const wchar_t* standIn : {L"notepad.exe", L"explorer.exe"})
    fs::copy_file(HostPath(QUERNEL_RECORDER), program / standIn, fs::copy_options::overwrite_existing);
  const fs::path music = MakeMusicFolder();
  Start(program);
  Type(txtPath, music.wstring());
  OutputWithNotice();

  auto oem = [](const std::wstring& text) {
    std::string bytes(text.size() * 2, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
  };
  EXPECT_EQ(ReadBytes(program / L"path.bat"), "dir \"" + oem(music.wstring()) + "\\*.*\"    /o:n /B >\"" +
                                                  oem(program.wstring()) + "\\Path.txt\"\r\nexit\r\n");
  std::vector<std::wstring> lines = ListingLines(ReadBytes(program / L"path.txt"));
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::wstring>{L"Upper.MP3", L"a.txt", L"b.mp3", L"c.txt", L"只读.txt",
                                              L"子文件夹", L"歌曲.mp3"}));
  EXPECT_EQ(WaitForRecord(L"notepad"), L"notepad.exe \"" + (program / L"path.txt").wstring() + L'"');

  Key(VK_ESCAPE);
  EXPECT_TRUE(Exited());
  EXPECT_FALSE(fs::exists(program / L"path.bat"));
  for (const wchar_t* standIn : {L"notepad.exe", L"explorer.exe"}) fs::remove(program / standIn);
}

// --- The file's version block ----------------------------------------------------------------

TEST(QuernelExe, CarriesItsVersionAndCopyright) {
  const std::wstring exe = HostPath(QUERNEL_EXE);
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
  auto value = [&](const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
      return std::wstring();
    return std::wstring(text, length > 0 ? length - 1 : 0);
  };
  EXPECT_EQ(value(L"FileVersion"), Wide(product::kVersion));
  EXPECT_EQ(value(L"ProductVersion"), Wide(product::kVersion));
  EXPECT_EQ(value(L"ProductName"), L"Quernel");
  EXPECT_EQ(value(L"OriginalFilename"), L"Quernel.exe");
  EXPECT_EQ(value(L"LegalCopyright"), Wide(product::kCopyright));
  EXPECT_EQ(value(L"Comments"), Wide(product::kComment));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  unsigned major = 0, minor = 0, build = 0;
  ASSERT_EQ(std::sscanf(Text(product::kVersion).c_str(), "%u.%u.%u", &major, &minor, &build), 3);
  EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
  EXPECT_EQ(fixed->dwFileVersionLS, build);
}

}  // namespace
}  // namespace quernel::testing
