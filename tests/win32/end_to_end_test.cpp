// Quernel.exe worked from another process by window messages, its batch file run by Wine's cmd or
// by real cmd's stand-in (scripted_cmd.cpp); notepad.exe and explorer.exe record (recorder.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <thread>

#include "core/frm_main.h"
#include "design/program_texts.h"
#include "drop_files.h"
#include "platform/win32/win32_form_builder.h"
#include "platform/win32/win32_launch.h"
#include "platform/win32/win32_text.h"
#include "support/test_support.h"

namespace quernel::testing {
namespace {

using enum ControlId;
using win32::Utf8;
using win32::Wide;
using Lines = std::vector<std::wstring>;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// A file cmd reads, in the OEM code page (936, or 437 in English).
std::wstring Oem(const fs::path& file) {
  const std::string oem = ReadBytes(file);
  std::wstring text(oem.size(), L'\0');
  text.resize(
      unsigned(MultiByteToWideChar(CP_OEMCP, 0, oem.data(), int(oem.size()), text.data(), int(oem.size()))));
  return text;
}

// A listing's lines (sorted unless asked in order), which must be UTF-8 after a byte-order mark.
Lines ListingLines(const fs::path& file, bool ordered = false) {
  const std::string utf8 = ReadBytes(file);
  EXPECT_TRUE(utf8.starts_with(kBom)) << file;
  Lines lines;
  std::wstring line;
  for (std::wistringstream in(Wide(utf8.substr(utf8.starts_with(kBom) ? kBom.size() : 0)));
       std::getline(in, line);)
    if (line.pop_back(), !line.empty()) lines.push_back(line);
  if (!ordered) std::sort(lines.begin(), lines.end());
  return lines;
}

bool WaitFor(const std::function<bool()>& done) {
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (done()) return true;
  return done();
}

std::wstring TextOf(HWND window) {
  wchar_t text[2048] = {};
  return SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text)), text;
}

bool Shows(const std::wstring& box, std::string_view text) {
  return box.find(L'\n' + Wide(text) + L'\n') != std::wstring::npos;
}

class QuernelSession : public ::testing::Test {
 public:
  void SetUp() override {
    InstallProgram(programFolder_);
    SetEnvironmentVariableW(L"QUERNEL_RECORDER_FOLDER", root_.c_str());
    SetEnvironmentVariableW(L"dircmd", L"/a:h");  // dir's first switches if inherited: hidden files only
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"ComSpec", comSpec_.c_str());
    if (process_.hProcess)
      TerminateProcess(process_.hProcess, 1), WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess), CloseHandle(process_.hThread);
  }

  enum Install { kStandIns = 2, kWhole = 4, kProgramOnly = 6 };
  static void InstallProgram(const fs::path& folder, Install install = kWhole) {
    fs::create_directories(folder);
    const char* from[] = {QUERNEL_RECORDER, QUERNEL_RECORDER, QUERNEL_EXE, QUERNEL_HELP};
    const wchar_t* to[] = {L"notepad.exe", L"explorer.exe", L"Quernel.exe", L"help.htm"};
    for (int i = install == kProgramOnly ? 2 : 0; i < (install == kStandIns ? 2 : 4); ++i)
      fs::copy_file(HostPath(from[i]), folder / to[i], fs::copy_options::overwrite_existing);
  }

  // Chinese names, a hidden and a read-only file, a subfolder; each larger than those before it.
  fs::path MakeMusicFolder() {
    const fs::path music = root_ / L"音乐";
    fs::create_directories(music / L"子文件夹");
    std::size_t size = 0;
    for (const wchar_t* name :
         {L"隐藏.txt", L"只读.txt", L"歌曲.mp3", L"a.txt", L"c.txt", L"b.mp3", L"Upper.MP3"})
      WriteBytes(music / name, std::string(++size, 'x'));
    SetFileAttributesW((music / L"隐藏.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((music / L"只读.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    return music;
  }

  void Start(const fs::path& programFolder, const std::wstring& arguments = {}) {
    std::wstring commandLine = L'"' + (programFolder / L"Quernel.exe").wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               root_.c_str(), &startup, &process_));
    ASSERT_TRUE(WaitFor([&] { return (form_ = FindOwnWindow(L"QuernelFormWindow")) != nullptr; }));
    WaitForInputIdle(process_.hProcess, 5000);
  }

  HWND FindOwnWindow(const wchar_t* windowClass) const {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, windowClass, nullptr));)
      if (GetWindowThreadProcessId(w, nullptr) == process_.dwThreadId && IsWindowVisible(w)) return w;
    return nullptr;
  }

  HWND Control(ControlId id) const { return GetDlgItem(form_, win32::ControlNumber(id)); }
  void Type(ControlId id, const std::wstring& text) {
    HWND edit = FindWindowExW(Control(id), nullptr, L"Edit", nullptr);  // an editable list's field
    SendMessageW(edit ? edit : Control(id), WM_SETTEXT, 0, LPARAM(text.c_str()));
  }
  void Pick(ControlId list, int index) {
    SendMessageW(Control(list), CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(form_, WM_COMMAND, MAKEWPARAM(win32::ControlNumber(list), CBN_SELCHANGE),
                 LPARAM(Control(list)));
  }
  void Press(ControlId button) { PostMessageW(Control(button), BM_CLICK, 0, 0); }
  LRESULT Checked(ControlId button) const { return SendMessageW(Control(button), BM_GETCHECK, 0, 0); }
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info), info.hwndFocus;
  }
  void Key(WPARAM key, bool alt = false) {
    if (alt) PostMessageW(Focus(), WM_SYSCHAR, key, 1 << 29 | 1);
    if (!alt) PostMessageW(Focus(), WM_KEYDOWN, key, 1), PostMessageW(Focus(), WM_KEYUP, key, 0xC0000001);
    Settle();
  }
  void Settle() {  // until the program has taken all posted so far (in order), or closed
    static WPARAM mark = 0x7FFF0000;
    PostMessageW(Control(txtPath), EM_SETLIMITTEXT, ++mark, 0);
    EXPECT_TRUE(WaitFor([&] {
      return !IsWindow(form_) || WPARAM(SendMessageW(Control(txtPath), EM_GETLIMITTEXT, 0, 0)) == mark;
    })) << "the program does not take its messages";
  }

  // A box ("#32770") once built: its title, statics' texts and \1 a button, a line each, stable.
  std::wstring WaitForBox() {
    std::wstring last, now;
    WaitFor([&] {
      last = std::exchange(now, (box_ = FindOwnWindow(L"#32770")) ? TextOf(box_) + L'\n' : L"");
      for (HWND child = nullptr; box_ && (child = FindWindowExW(box_, child, nullptr, nullptr));) {
        wchar_t kind[8] = {};
        GetClassNameW(child, kind, 8);
        if (_wcsicmp(kind, L"Static") == 0 && !TextOf(child).empty()) now += TextOf(child) + L'\n';
        if (_wcsicmp(kind, L"Button") == 0 && IsWindowVisible(child)) now += L"\1\n";
      }
      return now.find(L'\1') != std::wstring::npos && now == last;
    });
    return now;
  }
  void Answer(int button = IDOK) {
    PostMessageW(box_, WM_COMMAND, static_cast<WPARAM>(button), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box_); })) << "the box stays";
  }
  std::wstring Output() { return Press(cmdOut), WaitForBox(); }
  void OutputWithNotice(bool byEnter = false) {
    const std::wstring notice = byEnter ? (Key(VK_RETURN), WaitForBox()) : Output();
    EXPECT_TRUE(notice.starts_with(L"Quernel\n")) << Utf8(notice);
    EXPECT_TRUE(Shows(notice, texts::kNotice)) << Utf8(notice);
    EXPECT_EQ(std::count(notice.begin(), notice.end(), L'\1'), 1) << "OK alone";
    Answer();
  }
  // A stand-in's command line and the folder it started in, a line each.
  std::wstring Record(const wchar_t* standIn) {
    const fs::path record = root_ / (std::wstring(standIn) + L".command-line.txt");
    return WaitFor([&] { return fs::exists(record); }) ? Wide(ReadBytes(record)) : L"(not started)";
  }

  // By the close box or Esc; after a listing in `work`, it was viewed and the batch file goes.
  void Quit(const fs::path& work = {}, bool byEsc = false) {
    if (!work.empty()) {
      EXPECT_EQ(Record(L"notepad"),
                L"notepad.exe \"" + (work / L"path.txt").wstring() + L"\"\n" + win32::SystemFolder());
    }
    byEsc ? Key(VK_ESCAPE) : void(PostMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0));
    ASSERT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(process_.hProcess), CloseHandle(process_.hThread), process_ = {};
    EXPECT_FALSE(!work.empty() && fs::exists(work / L"path.bat")) << "the batch file left";
  }
  TempFolder temp_;
  fs::path root_ = temp_.Path(), programFolder_ = root_ / L"程序";
  std::wstring comSpec_ = _wgetenv(L"ComSpec");
  PROCESS_INFORMATION process_{};  // Quernel.exe
  HWND form_ = nullptr, box_ = nullptr;
};

// The release's checks run the packaged program named by QUERNEL_PACKAGED_PROGRAM; else the build's.
TEST_F(QuernelSession, APackagedProgramMakesAWholeListing) {
  wchar_t named[MAX_PATH] = {};
  const bool packaged = GetEnvironmentVariableW(L"QUERNEL_PACKAGED_PROGRAM", named, MAX_PATH) > 0;
  const fs::path program = packaged ? fs::path(named) : programFolder_, music = MakeMusicFolder();
  if (packaged) InstallProgram(program, kStandIns);
  Start(program, L"\"音乐\\歌曲.mp3\" 没有");
  EXPECT_EQ(TextOf(Control(txtPath)), music.wstring());
  OutputWithNotice();
  // An installed program (under Program Files) works in the user's folder, never in its own.
  const fs::path work = program.wstring().starts_with(std::wstring(_wgetenv(L"ProgramFiles")) + L'\\')
                            ? fs::path(_wgetenv(L"LOCALAPPDATA")) / L"Quernel"
                            : program;
  EXPECT_EQ(Oem(work / L"path.bat"), L"dir \"" + music.wstring() + L"\\*.*\"    /o:n /B >\"" +
                                         work.wstring() + L"\\Path.txt\"\r\nexit\r\n");
  EXPECT_EQ(ListingLines(work / L"path.txt"),
            (Lines{L"Upper.MP3", L"a.txt", L"b.mp3", L"c.txt", L"只读.txt", L"子文件夹", L"歌曲.mp3"}));
  Quit(work, true);
  EXPECT_EQ(fs::exists(program / L"path.txt"), work == program) << "written into the installation";
  if (packaged) fs::remove(program / L"notepad.exe"), fs::remove(program / L"explorer.exe");
}

// Drops, access keys, Enter, the folder picker, help, the close box; the window's colours.
TEST_F(QuernelSession, TheWindowTakesDropsKeysAndButtons) {
  const std::wstring music = MakeMusicFolder().wstring(), music2024 = root_.wstring() + L"\\音乐 2024";
  fs::create_directories(music2024);
  Start(programFolder_, music);
  // RegisterDragDrop's property: Explorer's drags then come by OLE, which can refuse them.
  EXPECT_NE(GetPropW(form_, L"OleDropTargetInterface"), nullptr) << "no OLE drop target";
  // WM_DROPFILES as the shell sends it, every item: the second one, a folder, is the field's.
  const std::vector<char> block = DropFilesBlock({music + L"\\a.txt", music2024});
  void* there = VirtualAllocEx(process_.hProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(there, nullptr);
  ASSERT_TRUE(WriteProcessMemory(process_.hProcess, there, block.data(), block.size(), nullptr));
  PostMessageW(form_, WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0);
  Settle();
  EXPECT_EQ(TextOf(Control(txtPath)), music2024);

  // The lists' text is blue; the form's background shows inside a frame (x 230) as beside it (x 3).
  SetForegroundWindow(form_);
  RECT r;
  GetWindowRect(form_, &r);
  const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), width = r.right - r.left,
            height = r.bottom - r.top;
  auto at = [&](int x) {  // y 140
    POINT p{MulDiv(x, dpi, 96), MulDiv(140, dpi, 96)};
    return ClientToScreen(form_, &p), std::size_t((p.y - r.top) * width + p.x - r.left);
  };
  std::vector<DWORD> rgb(std::size_t(width * height));  // 0xRRGGBB, top-down
  auto blue = [](DWORD p) { return (p & 0xFF) > 200 && (p & 0xFFFF00) < 0x3C3C00; };
  WaitFor([&] {
    RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    BITMAPINFOHEADER info{sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    DeleteObject(SelectObject(memory, bitmap));
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GetDIBits(memory, bitmap, 0, UINT(height), rgb.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteDC(memory), DeleteObject(bitmap), ReleaseDC(nullptr, screen);
    return (rgb[at(3)] & 0xFFFFFF) == (rgb[at(230)] & 0xFFFFFF) && std::ranges::any_of(rgb, blue);
  });
  EXPECT_EQ(rgb[at(230)] & 0xFFFFFF, rgb[at(3)] & 0xFFFFFF) << "the background inside a frame";
  EXPECT_TRUE(std::ranges::any_of(rgb, blue)) << "no blue text";

  Key(L'b', true);  // from the output button the next "B" is Browse
  EXPECT_TRUE(Shows(WaitForBox(), texts::kFolderPrompt)) << "no folder picker";
  Answer(IDCANCEL);
  EXPECT_EQ(TextOf(Control(txtPath)), music2024) << "cancel keeps the field";
  Press(cmdHelp);
  EXPECT_EQ(Record(L"explorer"),
            L"explorer.exe \"" + (programFolder_ / L"help.htm").wstring() + L"\"\n" + win32::SystemFolder());
  Key(L'f', true);
  EXPECT_TRUE(WaitFor([&] { return Focus() == Control(txtPath); })) << "the label's access key: the folder";
  // Alt with a box's letter checks it (the core unchecks the other style box: no /w below).
  for (auto [key, box] : {std::pair(L'w', chkW), {L't', chkT}, {L'l', chkL}}) {
    Key(key, true);
    EXPECT_TRUE(WaitFor([&] { return Checked(box) == 1; })) << char(key);
  }
  OutputWithNotice(true);  // Enter: the default button
  EXPECT_NE(ReadBytes(programFolder_ / L"path.bat").find(" 2024\\*.*\"    /o:n /l /B >"), std::string::npos);
  Quit(programFolder_);
}

// Why an output fails (a listing held open; dir's words: "exit" gives 0), then what the window chose;
// names no code page holds go by the run's variables, "!" too (real cmd expands it if asked).
TEST_F(QuernelSession, CmdListsWhatTheWindowChoseOrShowsWhyNot) {
  const fs::path music = MakeMusicFolder(), listing = programFolder_ / L"path.txt",
                 korean = root_ / L"방탄!소년단";
  const Lines names = {L"emoji 🎵.mp3", L"Rock & Roll.mp3", L"Tiếng Việt.mp3",
                       L"さくら.mp3",  L"夜曲.mp3",        L"방탄소년단 - 봄날.mp3"};
  for (const std::wstring& name : names) WriteBytes(korean / name, "x");
  enum Then { kNotRun, kRunAndFailed, kListed, kListedInOrder };
  const struct {
    std::function<void(QuernelSession&)> choose;
    Then then;
    Lines seen;  // words in the box, or the listing's lines
  } steps[] = {
      {[](auto&) {}, kNotRun, {L"无法删除上次的文件列表", listing}},  // a viewer holds it open
      {[&](auto& s) { s.Type(txtPath, music / L"不存在"); },
       kRunAndFailed,
       {L"找不到要列出的文件夹", music.wstring() + L"\\不存在"}},
      {[&](auto& s) { s.Type(txtPath, music), s.Pick(cobType, 2), s.Press(optH); }, kListed, {L"隐藏.txt"}},
      {[&](auto& s) { s.Pick(cobType, 0), s.Type(txtPath, korean); }, kListedInOrder, names},
      {[&](auto& s) {
         EXPECT_EQ(ReadBytes(programFolder_ / L"path.bat"),
                   "dir \"%QUERNEL_FOLDER%%QUERNEL_PATTERN%\"    /o:n /B "
                   ">\"%QUERNEL_WORK_FOLDER%\\Path.txt\"\r\nexit\r\n");
         s.Type(txtPath, music), s.Pick(cobFilter, 2), s.Pick(cobSort, 1), s.Pick(cobWay, 2), s.Press(chkL);
       },
       kListedInOrder,
       {L"upper.mp3", L"b.mp3", L"歌曲.mp3"}},  // the largest first, lower case
  };
  const wchar_t* processor = L"Software\\Microsoft\\Command Processor";
  const DWORD on = 1;
  RegSetKeyValueW(HKEY_CURRENT_USER, processor, L"DelayedExpansion", REG_DWORD, &on, sizeof on);
  WriteBytes(listing, "old listing\r\n");
  HANDLE held = CreateFileW(listing.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  Start(programFolder_, L'"' + music.wstring() + L"\\\"");  // a quoted folder ending in a backslash
  EXPECT_EQ(TextOf(Control(txtPath)), music.wstring() + L"\\");
  for (const auto& step : steps) {
    step.choose(*this);
    if (step.then >= kListed) {
      OutputWithNotice();
      EXPECT_EQ(ListingLines(listing, step.then == kListedInOrder), step.seen);
      continue;
    }
    const std::string before = ReadBytes(listing);
    const std::wstring error = Output();
    for (const std::wstring& words : step.seen)
      EXPECT_NE(error.find(words), std::wstring::npos) << Utf8(error);
    Answer();
    CloseHandle(held), held = nullptr;
    if (step.then != kRunAndFailed) {
      EXPECT_EQ(ReadBytes(listing), before) << "the old listing is kept";
    }
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, processor, L"DelayedExpansion");
  Quit(programFolder_);
}

TEST_F(QuernelSession, AReadOnlyProgramFolderSendsTheWorkToTheUsersFolder) {
  const fs::path readOnly = HostPath(QUERNEL_READ_ONLY_PROGRAM_FOLDER);
  if (!*QUERNEL_READ_ONLY_PROGRAM_FOLDER || !fs::exists(readOnly / L"Quernel.exe") ||
      (std::ofstream(readOnly / L"probe.tmp") && fs::remove(readOnly / L"probe.tmp")))
    GTEST_SKIP() << "no program folder nobody can write here (chattr +i needs root on ext2/3/4)";
  const fs::path work = fs::path(_wgetenv(L"LOCALAPPDATA")) / L"Quernel";
  fs::remove(work / L"path.bat");
  Start(readOnly, root_);
  OutputWithNotice();
  EXPECT_NE(ReadBytes(work / L"path.bat").find(">\"" + Utf8(work.wstring()) + "\\Path.txt\""),
            std::string::npos);
  Quit(work, true);
}

// Real cmd's words (scripted_cmd.cpp); started in the system folder cmd never warns of a network
// folder. The system's notepad opens the listing, never one in the folder Quernel started in
// (CreateProcess looks there before System32). Esc during a run asks; Yes ends all cmd started.
TEST_F(QuernelSession, RealCmdsAnswersAndAStoppedRunGetTheirBoxes) {
  const fs::path program = root_ / L"bare";
  MakeMusicFolder();
  InstallProgram(program, kProgramOnly);
  fs::copy_file(HostPath(QUERNEL_RECORDER), root_ / L"notepad.exe");
  SetEnvironmentVariableW(L"ComSpec", HostPath(QUERNEL_SCRIPTED_CMD).c_str());  // real cmd's answers
  SetEnvironmentVariableW(L"QUERNEL_SCRIPT", L"access-denied");  // its words in UTF-16LE, as cmd /u's
  Start(program, L"音乐");                                       // relative to the start folder
  const std::wstring refused = Output();
  EXPECT_NE(refused.find(L"\r拒绝访问。\r"), std::wstring::npos) << Utf8(refused);
  Answer(), Quit();
  SetEnvironmentVariableW(L"QUERNEL_SCRIPT", L"unc-warning");
  Start(program, L"音乐");
  OutputWithNotice();
  EXPECT_TRUE(WaitFor([] { return FindWindowW(L"Notepad", nullptr) != nullptr; }))
      << "not the system's notepad";
  EXPECT_EQ(ListingLines(program / L"path.txt").size(), 7u) << "the whole listing";
  SendMessageW(FindWindowW(L"Notepad", nullptr), WM_CLOSE, 0, 0);
  Quit();
  auto running = [] {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, L"quernel-scripted-cmd-running");
    return CloseHandle(event), event != nullptr;
  };
  SetEnvironmentVariableW(L"QUERNEL_SCRIPT", L"hang");
  Start(program, root_);
  Press(cmdOut);
  ASSERT_TRUE(WaitFor(running));
  Key(VK_ESCAPE);
  EXPECT_TRUE(Shows(WaitForBox(), texts::kStopListingQuestion)) << "Esc does not ask";
  Answer(IDYES);
  WaitForBox(), Answer();  // the core's word that it stopped
  EXPECT_TRUE(WaitFor([&] { return !running(); })) << "what cmd started runs on";
  Quit();
}

// Two windows of one program folder asked for their listings at once take turns: each shows its
// own whole listing, the second once the first one's viewer has read it.
TEST_F(QuernelSession, TwoWindowsInOneFolderTakeTurns) {
  const fs::path many = root_ / L"many";
  struct Window {
    PROCESS_INFORMATION process;
    HWND form;
    Lines lines;
  } windows[2];
  for (int i = 100000; i < 102000; ++i) {
    windows[0].lines.push_back(L"F" + std::to_wstring(i) + L".TXT");
    windows[1].lines.push_back(L"f" + std::to_wstring(i) + L".txt");
    WriteBytes(many / windows[0].lines.back(), "");
  }
  for (Window& w : windows) Start(programFolder_, many), w.process = process_, w.form = form_;
  Press(chkL);  // the second lists in lower case
  auto use = [&](const Window& w) { process_ = w.process, form_ = w.form; };
  for (const Window& w : windows) use(w), Press(cmdOut);
  for (int turn = 0; turn < 2; ++turn) {
    const Window* now = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      for (const Window& w : windows)
        if (use(w), FindOwnWindow(L"#32770")) return (now = &w) != nullptr;
      return false;
    })) << "no box";
    use(*now);
    EXPECT_TRUE(Shows(WaitForBox(), texts::kNotice)) << "turn " << turn << ": not the notice";
    Answer();
    Record(L"notepad");
    EXPECT_TRUE(ListingLines(root_ / L"notepad.viewed.txt") == now->lines) << "not what the viewer read";
    fs::remove(root_ / L"notepad.command-line.txt"), fs::remove(root_ / L"notepad.viewed.txt");
  }
  for (const Window& w : windows) use(w), Quit();
}

// Under LC_ALL=en_US.UTF-8 (a CTest entry of its own) ANSI (1252) and OEM (437) differ. What 437
// lacks goes by the run's variables, never as a look-alike ("ā*.txt" as "a*.txt" lists a.txt).
using QuernelInEnglish = QuernelSession;

TEST_F(QuernelInEnglish, TheBatchFileIsInTheOemCodePageOrNamesItsVariables) {
  ASSERT_EQ(GetACP(), 1252u) << "not under an English locale";
  ASSERT_EQ(GetOEMCP(), 437u) << "not under an English locale";
  const fs::path program = root_ / L"program", cafe = root_ / L"café 100%";
  InstallProgram(program);  // a folder name 437 holds
  for (const fs::path& file : {cafe / L"a.txt", cafe / L"x.txt"}) WriteBytes(file, "x");
  Start(program, L'"' + cafe.wstring() + L'"');
  Type(cobFilter, L"ā*.txt");
  const std::wstring nothing = Output();
  EXPECT_TRUE(Shows(nothing, FillMessage(texts::kListingFoundNothing, Utf8(cafe.wstring()) + '\\', "ā*.txt")))
      << Utf8(nothing);
  Answer();
  Type(cobFilter, L"*.*");
  OutputWithNotice();
  // é is 0x82 in code page 437 and 0xE9 in 1252; cmd reads %% as %.
  EXPECT_EQ(Oem(program / L"path.bat"), L"dir \"" + cafe.wstring() + L"%\\*.*\"    /o:n /B >\"" +
                                            program.wstring() + L"\\Path.txt\"\r\nexit\r\n");
  EXPECT_EQ(ListingLines(program / L"path.txt"), (Lines{L"a.txt", L"x.txt"}));
}

TEST(QuernelExe, CarriesItsVersionAndCopyright) {
  const std::wstring exe = HostPath(QUERNEL_EXE);
  std::vector<char> block(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  auto value = [&](const std::wstring& name) {
    void* found = nullptr;
    UINT length = 0;
    return VerQueryValueW(block.data(), name.c_str(), &found, &length) ? found : nullptr;
  };
  const Text version(product::kVersion);
  const std::pair<const wchar_t*, std::string_view> strings[] = {
      {L"FileVersion", version},
      {L"ProductVersion", version},
      {L"ProductName", "Quernel"},
      {L"OriginalFilename", "Quernel.exe"},
      {L"LegalCopyright", product::kCopyright},
      {L"Comments", product::kComment},
  };
  for (const auto& [name, expected] : strings) {
    const void* text = value(L"\\StringFileInfo\\080404b0\\" + std::wstring(name));
    EXPECT_EQ(text ? static_cast<const wchar_t*>(text) : L"(none)", Wide(expected)) << Utf8(name);
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value(L"\\"));
  ASSERT_NE(fixed, nullptr);
  unsigned major = 0, minor = 0, build = 0;
  ASSERT_EQ(std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &build), 3);
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD(major << 16 | minor));
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD(build));
}

}  // namespace
}  // namespace quernel::testing
