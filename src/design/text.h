#pragma once

#include <string>

namespace quernel {

// Every text inside the program is Unicode, held as UTF-8 in a std::string:
// lossless for any character, byte-exact to compare and readable in test
// failures. Each back-end converts at its edge (UTF-16 for Win32, QString for
// Qt), and only the batch file is ever turned into a code page, by CodePage.
using Text = std::string;

}  // namespace quernel
