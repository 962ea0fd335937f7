#pragma once

#include <vector>

#include "design/text.h"

// What the platform hands the program when it starts.
namespace quernel {

// The arguments after the program's own name, as the system gave them, and
// the folder the program was started in.
struct StartUp {
  std::vector<Text> arguments;
  Text currentFolder;
};

}  // namespace quernel
