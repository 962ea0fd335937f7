// The contract against the Win32 back-end: hidden window, file API, OEM code page, real cmd.
#include "contract/contract_harness.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_runtime.h"
#include "support/test_support.h"

namespace quernel::contract {
namespace {

using win32::Wide;

class Win32Harness final : public ContractHarness {
 public:
  WindowRuntime& Window() override { return window_; }
  FileSystem& Files() override { return files_; }
  CodePage& Codes() override { return codePage_; }
  Text ScratchFolder() override { return scratch_.Name(); }
  std::string ReadBytes(const Text& path) override { return testing::ReadBytes(Wide(path)); }
  void ProcessEvents() {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
      TranslateMessage(&message), DispatchMessageW(&message);
  }
  void TypeAsUser(ControlId list, const Text& text) override {
    HWND edit = FindWindowExW(window_.ControlWindow(list), nullptr, L"Edit", nullptr);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : Wide(text)) SendMessageW(edit, WM_CHAR, c, 1);
    ProcessEvents();
  }
  // Links need administrators' rights or developer mode, and Wine 8 says yes but makes none.
  bool MakeLink(const Text& link, const Text& target, bool hard) override {
    if (hard) return CreateHardLinkW(Wide(link).c_str(), Wide(target).c_str(), nullptr) != FALSE;
    CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(),
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD attributes = GetFileAttributesW(Wide(link).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  bool MakeReadOnly(const Text& path) override {
    return SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
  }
  void MakeInterpreterMissing() override {
    SetEnvironmentVariableW(L"ComSpec", (Wide(scratch_.Name()) + L"\\no-such-cmd.exe").c_str());
  }
  // Queued before the run, as the close box sends it.
  void PressCloseBoxDuringNextRun() override { PostMessageW(window_.Form(), WM_SYSCOMMAND, SC_CLOSE, 0); }
  bool FormIsOpen() override { return IsWindow(window_.Form()) != FALSE; }
  ~Win32Harness() override { SetEnvironmentVariableW(L"ComSpec", comSpec_.c_str()); }

 private:
  std::wstring comSpec_ = _wgetenv(L"ComSpec") ? _wgetenv(L"ComSpec") : L"";
  win32::Win32WindowRuntime window_{GetModuleHandleW(nullptr)};
  win32::Win32FileSystem files_;
  win32::Win32CodePage codePage_;
  testing::TempFolder scratch_;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() {
  return std::make_unique<Win32Harness>();
}

}  // namespace quernel::contract
