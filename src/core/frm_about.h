#pragma once

#include "platform/platform.h"

namespace quernel::frmAbout {

// The shell's About box for the program, owned by the main window.
void ShowAbout(const Platform& platform);

}  // namespace quernel::frmAbout
