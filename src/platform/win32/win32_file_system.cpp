#include "platform/win32/win32_file_system.h"

#include <algorithm>
#include <atomic>

#include "platform/win32/win32_text.h"

namespace quernel::win32 {
namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

FileResult LastFailure() {
  return Fail(FileError{LastErrorMessage()});
}

FileResult WriteFailure(DWORD error) {
  FileFailure kind = FileFailure::Other;
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) kind = FileFailure::DiskFull;
  // Something came between the delete and the exclusive create.
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) kind = FileFailure::NotARegularFile;
  return Fail(FileError{SystemMessage(error), kind});
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring InFolder(const Text& folder, const std::wstring& name) {
  std::wstring path = Wide(folder);
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path + name;
}

// A name no other file has: the process, the time and a counter.
std::wstring UniqueProbeName() {
  static std::atomic<unsigned> counter{0};
  return L"~quernel-" + std::to_wstring(GetCurrentProcessId()) + L'-' + std::to_wstring(GetTickCount64()) +
         L'-' + std::to_wstring(counter++) + L".tmp";
}

}  // namespace

FileResult Win32FileSystem::RemoveFile(const Text& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == kNoAttributes) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return Fail(FileError{SystemMessage(error), missing ? FileFailure::NotFound : FileFailure::Other});
  }
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if (!DeleteFileW(wide.c_str())) return LastFailure();
  return {};
}

// The old name goes first: deleting a symbolic link, a cloud placeholder
// or one name of a hard link never touches what it points to or shares its
// content with. The new file is then created exclusively (CREATE_NEW). A
// folder or junction of that name is not ours to remove.
FileResult Win32FileSystem::WriteNewFile(const Text& path, std::string_view bytes) {
  const std::wstring wide = Wide(path);
  if (IsFolder(wide))
    return Fail(FileError{SystemMessage(ERROR_CANT_ACCESS_FILE), FileFailure::NotARegularFile});
  if (const FileResult removed = RemoveFile(path); !removed && removed.error().kind != FileFailure::NotFound)
    return removed;
  HANDLE file =
      CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WriteFailure(GetLastError());
  DWORD error = ERROR_SUCCESS;
  while (!bytes.empty() && error == ERROR_SUCCESS) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) && written > 0)
      bytes.remove_prefix(written);
    else
      error = GetLastError();
  }
  if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
  if (error == ERROR_SUCCESS) return {};
  DeleteFileW(wide.c_str());  // never half a file
  return WriteFailure(error);
}

bool Win32FileSystem::FileExists(const Text& path) const {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != kNoAttributes && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FolderExists(const Text& path) const {
  return IsFolder(Wide(path));
}

// Asking the folder's security would not tell about read-only media or
// shares: creating a file does.
bool Win32FileSystem::CanCreateFilesIn(const Text& folder) const {
  if (!IsFolder(Wide(folder))) return false;
  HANDLE probe = CreateFileW(InFolder(folder, UniqueProbeName()).c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  CloseHandle(probe);
  return true;
}

FileResult Win32FileSystem::MakeFolders(const Text& folder) {
  std::wstring path = Wide(folder);
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  if (IsFolder(path)) return {};
  // Each missing parent first, from the root down; the folder itself says
  // whether that worked.
  for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1))
    if (const std::wstring parent = path.substr(0, slash); !IsFolder(parent))
      CreateDirectoryW(parent.c_str(), nullptr);
  if (CreateDirectoryW(path.c_str(), nullptr)) return {};
  const DWORD error = GetLastError();
  return IsFolder(path) ? FileResult{} : Fail(FileError{SystemMessage(error)});
}

std::optional<std::uint64_t> Win32FileSystem::FreeBytesIn(const Text& folder) const {
  ULARGE_INTEGER freeToUser{};
  if (!GetDiskFreeSpaceExW(InFolder(folder, L"").c_str(), &freeToUser, nullptr, nullptr)) return std::nullopt;
  return freeToUser.QuadPart;
}

}  // namespace quernel::win32
