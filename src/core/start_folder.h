#pragma once

#include <optional>
#include <vector>

#include "design/text.h"
#include "platform/file_system.h"
#include "platform/start_up.h"

// The folder that arrives from outside the window: from the command line the
// program was started with, or from items dropped on the window.
namespace quernel {

// A command line keeps a path that names nothing, for the listing to report;
// a drop takes only what is there.
enum class PathSource { CommandLine, Drop };

// The folder the paths name for the folder field: the first of them that is a
// folder, else the folder of the first file among them, else (from the
// command line) the first path as given. A relative path is taken from
// `currentFolder`. None when no path serves.
std::optional<Text> FolderForField(const std::vector<Text>& paths, const Text& currentFolder,
                                   PathSource source, const FileSystem& files);

}  // namespace quernel
