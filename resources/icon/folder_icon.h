#pragma once

#include <string>

// The program's icon, drawn pixel by pixel: an open yellow-orange folder
// holding a white sheet of paper. 32x32 pixels, 256 colours (8 bits a pixel
// with a palette), transparent around the folder through the AND mask.
namespace quernel::icon {

inline constexpr int kSize = 32;

// The bytes of the .ico file, the same on every run and every machine.
std::string FolderIconFile();

}  // namespace quernel::icon
