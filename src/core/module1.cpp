#include "core/module1.h"

namespace quernel::Module1 {

Text BrowseForFolder(ShellDialogs& shell, const Text& prompt) {
  Text answer = shell.PickFolder(prompt);
  // The shell fills a zeroed buffer: the path is what stands before the first NUL.
  if (auto nul = answer.find('\0'); nul != Text::npos) answer.resize(nul);
  return answer;
}

}  // namespace quernel::Module1
