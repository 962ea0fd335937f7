// Quernel.exe: the Win32 services handed to the program.
#include "core/frm_main.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_launch.h"
#include "platform/win32/win32_shell_dialogs.h"
#include "platform/win32/win32_start_up.h"
#include "platform/win32/win32_window_runtime.h"
// After windows.h:
#include <ole2.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The folder picker is a shell dialog: COM in a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // Items dragged from Explorer arrive by OLE.
  const HRESULT ole = OleInitialize(nullptr);
  quernel::win32::Win32WindowRuntime window(instance);
  quernel::win32::Win32FileSystem files;
  quernel::win32::Win32ShellDialogs shell(window);
  quernel::win32::Win32CodePage codePage;
  const quernel::StartUp startUp = quernel::win32::ReadStartUp();
  // Programs named without a folder (notepad.exe, explorer.exe) are looked
  // for in our current folder before System32: leave the user's folder, now
  // that relative arguments have been read against it.
  SetCurrentDirectoryW(quernel::win32::SystemFolder().c_str());
  const int status = quernel::RunQuernel({window, files, shell, codePage}, startUp);
  if (SUCCEEDED(ole)) OleUninitialize();
  if (SUCCEEDED(com)) CoUninitialize();
  return status;
}
