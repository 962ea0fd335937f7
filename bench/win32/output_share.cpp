// output_share PROGRAM_FOLDER LISTED_FOLDER [RUNS]: how much of one whole 输出 is Quernel's own
// work. Times the hidden run alone (`cmd /u /d /v:off /c` on the batch file Quernel writes,
// with Quernel's conversion excluded) and then Quernel.exe from the click on 输出 to its notice
// box, best of RUNS each, and prints both and Quernel's share: writing the batch file, starting
// and waiting for cmd, converting the listing to UTF-8 and checking it. PROGRAM_FOLDER holds
// Quernel.exe and may be written.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/win32/win32_form_builder.h"
#include "platform/win32/win32_text.h"

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Run(std::wstring commandLine, DWORD flags, PROCESS_INFORMATION& process) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                        &startup, &process) != FALSE;
}

// The hidden run alone, as Quernel starts it, on the batch file Quernel left.
double TimeInterpreter(const std::wstring& batch) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!Run(L'"' + std::wstring(system) + L"\\cmd.exe\" /u /d /v:off /c \"\"" + batch + L"\"\"",
           CREATE_NO_WINDOW, process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  const double elapsed = Now() - start;
  CloseHandle(process.hThread), CloseHandle(process.hProcess);
  return elapsed;
}

HWND VisibleWindowOf(DWORD thread, const wchar_t* windowClass) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, windowClass, nullptr));)
    if (GetWindowThreadProcessId(w, nullptr) == thread && IsWindowVisible(w)) return w;
  return nullptr;
}

HWND WaitForWindow(DWORD thread, const wchar_t* windowClass) {
  for (double until = Now() + 900; Now() < until; Sleep(1))
    if (HWND w = VisibleWindowOf(thread, windowClass)) return w;
  return nullptr;
}

// Quernel.exe from the click on 输出 to its notice (or error) box.
double TimeQuernel(const std::wstring& program, const std::wstring& folder) {
  PROCESS_INFORMATION process{};
  if (!Run(L'"' + program + L"\\Quernel.exe\" \"" + folder + L'"', 0, process)) return -1;
  double elapsed = -1;
  if (HWND form = WaitForWindow(process.dwThreadId, L"QuernelFormWindow")) {
    WaitForInputIdle(process.hProcess, 10000);
    HWND output = GetDlgItem(form, quernel::win32::ControlNumber(quernel::ControlId::cmdOut));
    const double start = Now();
    PostMessageW(output, BM_CLICK, 0, 0);
    if (WaitForWindow(process.dwThreadId, L"#32770")) elapsed = Now() - start;
  }
  TerminateProcess(process.hProcess, 0);  // before the viewer: only the output is timed
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread), CloseHandle(process.hProcess);
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: output_share PROGRAM_FOLDER LISTED_FOLDER [RUNS]\n");
    return 2;
  }
  const std::wstring program = quernel::win32::Wide(argv[1]), folder = quernel::win32::Wide(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  double quernel = 1e9, interpreter = 1e9;
  for (int i = 0; i < runs; ++i) {
    const double whole = TimeQuernel(program, folder);
    const double alone = TimeInterpreter(program + L"\\path.bat");
    if (whole < 0 || alone < 0) {
      std::fprintf(stderr, "output_share: no notice box or no cmd run\n");
      return 1;
    }
    quernel = std::min(quernel, whole), interpreter = std::min(interpreter, alone);
  }
  std::printf("whole output %.3f s, cmd /u alone %.3f s, Quernel's share %.1f%%\n", quernel, interpreter,
              100.0 * (quernel - interpreter) / quernel);
  return 0;
}
