#include "core/frm_about.h"

#include "design/program_texts.h"

namespace quernel::frmAbout {

void ShowAbout(const Platform& platform) {
  const NativeHandle owner = platform.window.FormHandle();
  const Text otherText = Text(texts::kCopyright) + '\r';
  const NativeHandle icon = platform.window.FormIcon();
  platform.shell.ShowAboutBox(owner, Text(texts::kAppTitle), otherText, icon);
}

}  // namespace quernel::frmAbout
