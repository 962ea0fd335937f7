#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/window_runtime.h"

// A work folder's lock for WindowRuntime::LockFolder: a named mutex that every
// Quernel of every user and session opens for the same folder, and a record of
// the folders this process holds, since a mutex lets the thread that owns it
// in again.
namespace quernel::win32 {

// "Quernel-" and the hash, in hex, of the folder's full long path upper-cased:
// one name however the folder is written.
std::wstring FolderLockName(const std::wstring& folder);

// Waits for `handle` (null: only lets the time pass) at most `milliseconds`,
// the window painting; true when the handle was signalled (a mutex also when
// abandoned).
using PaintingWait = std::function<bool(HANDLE handle, DWORD milliseconds)>;

// The folder's lock, waiting through `wait` while another holds it, at most
// `patience`; null when it is held still. A mutex whose holder ended without
// releasing it (abandoned) is taken.
std::unique_ptr<FolderLock> LockFolderOf(const std::wstring& folder, std::chrono::milliseconds patience,
                                         const PaintingWait& wait);

}  // namespace quernel::win32
