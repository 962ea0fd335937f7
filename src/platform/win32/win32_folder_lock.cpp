#include "platform/win32/win32_folder_lock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

// After windows.h:
#include <sddl.h>

namespace quernel::win32 {
namespace {

// Any user may wait for the lock and release it (SYNCHRONIZE | MUTEX_MODIFY_STATE
// for Everyone): two users of one portable copy share its folder.
constexpr wchar_t kAnyoneMayTakeIt[] = L"D:(A;;0x00100001;;;WD)";
constexpr DWORD kTakeAndRelease = SYNCHRONIZE | MUTEX_MODIFY_STATE;

std::mutex heldHereGuard;
std::set<std::wstring> heldHere;  // names of the locks this process holds

bool IsHeldHere(const std::wstring& name) {
  const std::lock_guard guard(heldHereGuard);
  return heldHere.contains(name);
}

class MutexLock final : public FolderLock {
 public:
  MutexLock(HANDLE mutex, std::wstring name) : mutex_(mutex), name_(std::move(name)) {
    const std::lock_guard guard(heldHereGuard);
    heldHere.insert(name_);
  }
  ~MutexLock() override {
    if (mutex_) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
    const std::lock_guard guard(heldHereGuard);
    heldHere.erase(name_);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  HANDLE mutex_;  // null when no mutex could be made: then only this process is kept out
  std::wstring name_;
};

std::wstring FullLongPath(const std::wstring& folder) {
  std::wstring full(GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  if (full.empty()) full = folder;
  std::wstring longPath(GetLongPathNameW(full.c_str(), nullptr, 0), L'\0');  // 8.3 names too
  longPath.resize(GetLongPathNameW(full.c_str(), longPath.data(), static_cast<DWORD>(longPath.size())));
  if (longPath.empty()) longPath = full;  // not there (yet)
  while (longPath.size() > 3 && longPath.back() == L'\\') longPath.pop_back();
  return longPath;
}

std::wstring UpperCase(const std::wstring& text) {
  std::wstring upper(text.size(), L'\0');
  const int size = static_cast<int>(text.size());
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), size, upper.data(), size, nullptr,
                    nullptr, 0) != size)
    return text;
  return upper;
}

// The mutex in Global\, seen from every session, else in the session's own.
HANDLE MutexNamed(const std::wstring& name) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorW(kAnyoneMayTakeIt, SDDL_REVISION_1, &descriptor,
                                                       nullptr);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  HANDLE mutex = nullptr;
  for (const wchar_t* scope : {L"Global\\", L"Local\\"})
    if ((mutex =
             CreateMutexExW(descriptor ? &attributes : nullptr, (scope + name).c_str(), 0, kTakeAndRelease)))
      break;
  LocalFree(descriptor);
  return mutex;
}

DWORD MillisecondsUntil(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
}

}  // namespace

std::wstring FolderLockName(const std::wstring& folder) {
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a over the UTF-16 units
  for (wchar_t unit : UpperCase(FullLongPath(folder))) hash = (hash ^ unit) * 1099511628211u;
  wchar_t hex[17] = {};
  std::swprintf(hex, 17, L"%016llX", static_cast<unsigned long long>(hash));
  return L"Quernel-" + std::wstring(hex);
}

std::unique_ptr<FolderLock> LockFolderOf(const std::wstring& folder, std::chrono::milliseconds patience,
                                         const PaintingWait& wait) {
  const std::wstring name = FolderLockName(folder);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(patience.count());
  while (IsHeldHere(name)) {  // by this thread perhaps, which the mutex would let in again
    const DWORD left = MillisecondsUntil(deadline);
    if (left == 0) return nullptr;
    wait(nullptr, std::min<DWORD>(left, 100));
  }
  HANDLE mutex = MutexNamed(name);
  if (!mutex) return std::make_unique<MutexLock>(nullptr, name);
  const DWORD now = WaitForSingleObject(mutex, 0);
  if (now != WAIT_OBJECT_0 && now != WAIT_ABANDONED && !wait(mutex, MillisecondsUntil(deadline))) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<MutexLock>(mutex, name);
}

}  // namespace quernel::win32
