#include "core/frm_about.h"

#include "design/program_texts.h"

namespace quernel::frmAbout {

void ShowAbout(const Platform& platform) {
  platform.shell.ShowAboutBox(Text(texts::kAppTitle), Text(texts::kCopyright) + '\r');
}

}  // namespace quernel::frmAbout
