// Writes the program's icon file: draw_icon <path of quernel.ico>.
// resources/quernel.ico is this program's output; rebuild it after a change
// to the drawing with
//   g++ -std=c++20 -Iresources/icon resources/icon/*.cpp -o /tmp/draw_icon
//   /tmp/draw_icon resources/quernel.ico
#include <cstdio>
#include <fstream>

#include "folder_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_icon <output.ico>\n");
    return 2;
  }
  const std::string bytes = quernel::icon::FolderIconFile();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
