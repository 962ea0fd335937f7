// How the back-end turns a launch request into what CreateProcessW runs.
#include <gtest/gtest.h>

#include "design/program_texts.h"
#include "platform/win32/win32_launch.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_runtime.h"
#include "support/test_support.h"

namespace quernel::win32 {
namespace {

TEST(CommandToRun, BatchFilesRunThroughTheInterpreterOthersAsTheyAre) {
  const std::wstring cmd = L"C:\\windows\\system32\\cmd.exe";
  struct Case {
    const wchar_t* requested;
    const wchar_t* run;
  };
  const Case cases[] = {
      {L"\"C:\\Tools\\path.bat\"", L"\"C:\\windows\\system32\\cmd.exe\" /d /c \"\"C:\\Tools\\path.bat\"\""},
      {L"\"D:\\音乐 100%\\PATH.BAT\"",
       L"\"C:\\windows\\system32\\cmd.exe\" /d /c \"\"D:\\音乐 100%\\PATH.BAT\"\""},
      {L"\"C:\\a b\\run.cmd\"", L"\"C:\\windows\\system32\\cmd.exe\" /d /c \"\"C:\\a b\\run.cmd\"\""},
      {L"notepad.exe \"C:\\Tools\\path.txt\"", L"notepad.exe \"C:\\Tools\\path.txt\""},
      {L"explorer.exe \"C:\\Tools\\help.htm\"", L"explorer.exe \"C:\\Tools\\help.htm\""},
      {L"\"C:\\batch files.bat\\tool.exe\" x.bat", L"\"C:\\batch files.bat\\tool.exe\" x.bat"},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandToRun(c.requested, cmd), c.run);
}

// GetEnvironmentStrings' form: NUL-ended entries, one more NUL at the end.
std::wstring Block(std::initializer_list<const wchar_t*> entries) {
  std::wstring block;
  for (const wchar_t* entry : entries) (block += entry) += L'\0';
  return block + L'\0';
}

TEST(EnvironmentWithout, DropsTheNamedVariablesRegardlessOfCaseAndKeepsTheRest) {
  struct Case {
    std::wstring block;
    std::vector<std::wstring> names;
    std::wstring kept;
  };
  const Case cases[] = {
      {Block({L"DIRCMD=/p", L"PATH=C:\\windows"}), {L"DIRCMD"}, Block({L"PATH=C:\\windows"})},
      {Block({L"dircmd=/w", L"TEMP=C:\\t"}), {L"DIRCMD"}, Block({L"TEMP=C:\\t"})},
      {Block({L"=C:=C:\\work", L"DIRCMD=", L"DIRCMDX=1"}),
       {L"DIRCMD"},
       Block({L"=C:=C:\\work", L"DIRCMDX=1"})},
      {Block({L"A=1", L"B=2"}), {L"A", L"B"}, Block({})},
      {Block({L"A=1"}), {}, Block({L"A=1"})},
  };
  for (const Case& c : cases) EXPECT_EQ(EnvironmentWithout(c.block.c_str(), c.names), c.kept);
}

// The hidden run as the output starts it, from a process that has DIRCMD=/p:
// the batch file does not see it, and dir does not wait for a key.
TEST(HiddenRun, TheBatchFileSeesNoDircmdAndEndsOnItsOwn) {
  const testing::TempFolder folder;
  // Pages of entries, and an ASCII path.
  for (int i = 0; i < 60; ++i) folder.Write(std::to_string(i) + ".txt", std::to_string(i));
  const std::string at = folder.Name();
  folder.Write("path.bat", "echo [%DIRCMD%]>\"" + at + "\\seen.txt\"\r\ndir \"" + at + "\\*.*\" >\"" + at +
                               "\\Path.txt\"\r\nexit\r\n");

  SetEnvironmentVariableW(L"DIRCMD", L"/p");
  Win32WindowRuntime window(GetModuleHandleW(nullptr));
  Launch run = window.LaunchProgram(
      {'"' + at + "\\path.bat\"", WindowStyle::Hidden, {Text(texts::kDirPresetVariable)}});
  SetEnvironmentVariableW(L"DIRCMD", nullptr);
  ASSERT_TRUE(run.process) << run.failure;
  const HANDLE process = static_cast<Win32Process&>(*run.process).Handle();
  const bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process, 1);
  EXPECT_TRUE(ended) << "the run waits for a key";
  EXPECT_EQ(folder.Read("seen.txt"), "[]\r\n");
}

}  // namespace
}  // namespace quernel::win32
