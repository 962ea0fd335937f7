#pragma once

#include <memory>

#include "platform/window_runtime.h"

// A work folder's lock on Linux: flock on the folder itself.
namespace quernel::posix {

// The folder's lock, taken without waiting; null while another holds it.
// Each lock opens the folder anew, so that a second lock on it fails in this
// process too, and closed on exec, so that no started program holds it.
std::unique_ptr<FolderLock> TryToLockFolder(const Text& folder);

}  // namespace quernel::posix
