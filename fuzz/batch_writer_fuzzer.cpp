// The batch file writer, driven like a user through the fake platform: any
// folder and pattern typed, any attribute mode, button, sort and style, in
// GBK or in UTF-8. Either the output is refused with a message, and only
// when the folder or the pattern holds a quote or a control character, or
// path.bat holds exactly the two CRLF lines: the folder and pattern quoted
// once and unchanged, every "%" doubled, no control character, and no "?"
// standing for a character the code page lacks; or, when the code page
// cannot hold them, the run's variables in their place, set to the folder,
// the pattern and the program folder as they are.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/charset_conversion.h"
#include "base/utf8.h"
#include "core/frm_main.h"
#include "core/listing_options.h"
#include "platform/fake/fake_platform.h"

namespace {

using namespace quernel;
using enum ControlId;

// GBK as a strict code page: a text it cannot give back unchanged does not
// fit (iconv drops some characters, the tag characters, without a word).
class GbkCodePage final : public CodePage {
 public:
  std::optional<std::string> Encode(const Text& text) const override {
    auto bytes = ConvertCharset(text, "UTF-8", "GBK");
    if (!bytes || ConvertCharset(*bytes, "GBK", "UTF-8") != text) return std::nullopt;
    return bytes;
  }
  Text Name() const override { return "936"; }
};

class Utf8CodePage final : public CodePage {
 public:
  std::optional<std::string> Encode(const Text& text) const override { return text; }
  Text Name() const override { return "65001"; }
};

[[noreturn]] void Fail(const char* what, const Text& detail) {
  std::fprintf(stderr, "batch writer: %s\n%s\n", what, detail.c_str());
  std::abort();
}

// A text as a window gives it: valid Unicode, mostly from characters that
// matter to a batch file or a code page, sometimes any character at all.
Text TypedText(FuzzedDataProvider& input) {
  static constexpr std::array<char32_t, 28> kTelling{
      '"',  '%',  '\\', ' ',   '*',   '?',   '.',  ':',  'a',   'Z',  '\r', '\n', '\t', 0x1B,
      0x7F, 0x85, U'é', U'音', U'乐', U'僜', U'€', U'😀', U'　', U'ｶ', U'¥', '^',  '&',  '>',
  };
  Text text;
  const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 24);
  for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
    if (input.ConsumeBool()) {
      text += static_cast<char>(input.ConsumeIntegralInRange<int>(0x20, 0x7E));
    } else if (input.ConsumeBool()) {
      AppendUtf8(text, kTelling[input.ConsumeIntegralInRange<std::size_t>(0, kTelling.size() - 1)]);
    } else {
      char32_t c = input.ConsumeIntegralInRange<char32_t>(1, 0x10FFFF);
      if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
      AppendUtf8(text, c);
    }
  }
  return text;
}

bool HasQuoteOrControl(const Text& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; });
}

Text Undoubled(const Text& text) {
  Text out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '%') ++i;  // the checked text has only doubled ones
  }
  return out;
}

void CheckBatchFile(const Text& bytes, const CodePage& codePage, const Text& quoted,
                    const Text& programFolder) {
  const auto decoded = codePage.Name() == "936" ? ConvertCharset(bytes, "GBK", "UTF-8") : bytes;
  if (!decoded) Fail("path.bat is not in its code page", bytes);
  const Text& text = *decoded;
  const std::size_t end = text.find("\r\n");
  if (end == Text::npos || text.substr(end) != "\r\nexit\r\n")
    Fail("not two CRLF lines ending in exit", text);
  const Text line = text.substr(0, end);
  if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    Fail("a control character in the command", text);
  if (!line.starts_with("dir \"")) Fail("the command does not start with dir and the quoted folder", text);
  if (std::count(line.begin(), line.end(), '"') != 4)
    Fail("the command does not quote the folder and the listing once each", text);
  for (std::size_t i = line.find('%'); i != Text::npos; i = line.find('%', i)) {
    const std::size_t run = line.find_first_not_of('%', i);
    if (((run == Text::npos ? line.size() : run) - i) % 2 != 0) Fail("a lone %", text);
    i = run;
  }
  const std::size_t open = line.find('"');
  const std::size_t close = line.find('"', open + 1);
  if (Undoubled(line.substr(open + 1, close - open - 1)) != quoted)
    Fail("the quoted folder and pattern differ from what was typed", text + "expected: " + quoted);
  const std::size_t target = line.find('"', close + 1);
  if (Undoubled(line.substr(target + 1, line.size() - target - 2)) != programFolder + "\\Path.txt")
    Fail("the listing is not redirected to the program folder", text);
}

// What the code page cannot hold reaches cmd as the run's variables; the
// batch file then names them and nothing the user typed.
void CheckVariables(const Text& bytes, const std::vector<ListingRun>& runs, const Text& batchPath,
                    const Text& folder, const Text& pattern, const Text& programFolder) {
  if (!bytes.starts_with(R"(dir "%QUERNEL_FOLDER%%QUERNEL_PATTERN%" )"))
    Fail("the batch file does not name the folder's and the pattern's variables", bytes);
  if (!bytes.ends_with(" >\"%QUERNEL_WORK_FOLDER%\\Path.txt\"\r\nexit\r\n"))
    Fail("the batch file does not name the work folder's variable", bytes);
  if (runs.size() != 1) Fail("the batch file was not run once", bytes);
  if (runs[0].batchFile != batchPath) Fail("another batch file was run", runs[0].batchFile);
  const std::vector<std::pair<Text, Text>> variables{
      {"QUERNEL_FOLDER", folder}, {"QUERNEL_PATTERN", pattern}, {"QUERNEL_WORK_FOLDER", programFolder}};
  if (runs[0].environment != variables)
    Fail("the run's variables are not what was typed", folder + "\n" + pattern);
}

struct Session {
  fake::FakePlatform fake;
  GbkCodePage gbk;
  Utf8CodePage utf8;
  Text programFolder;

  Session() {
    // A program folder with Chinese and a percent sign in its name.
    programFolder = fake.Root() + "/程序 100%";
    std::filesystem::create_directories(fake::FakeFileSystem::HostPath(programFolder));
    fake.window.programFolder = programFolder;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A fresh fake now and then: it keeps every message. The last
  // one's temporary folder goes at exit.
  static std::unique_ptr<Session> session;
  static unsigned runs = 0;
  if (runs++ % 10000 == 0) session = std::make_unique<Session>();
  FuzzedDataProvider input(data, size);
  const bool gbk = input.ConsumeBool();
  CodePage& codePage = gbk ? static_cast<CodePage&>(session->gbk) : session->utf8;
  fake::FakePlatform& fake = session->fake;
  fake.journal.clear();
  const Platform platform{fake.window, fake.files, fake.shell, codePage};
  const Text batchPath = session->programFolder + "\\path.bat";
  static_cast<void>(fake.files.RemoveFile(batchPath));  // the last input's, if any
  fake.window.runs.clear();
  const std::size_t messagesBefore = fake.window.messages.size();

  frmMain form(platform);
  static_cast<void>(fake.window.CreateForm(form));  // the fake makes every window
  form.Load();
  const Text folder = TypedText(input);
  const Text pattern = input.ConsumeBool() ? TypedText(input) : Text("*.*");
  fake.window.UserType(txtPath, folder);
  fake.window.UserType(cobFilter, pattern);
  fake.window.UserPick(cobType, input.ConsumeIntegralInRange<int>(0, 3));
  const auto buttons = AttributeButtons();
  if (input.ConsumeBool())
    fake.window.UserClick(buttons[input.ConsumeIntegralInRange<std::size_t>(0, buttons.size() - 1)].button);
  fake.window.UserPick(cobSort, input.ConsumeIntegralInRange<int>(0, 4));
  fake.window.UserPick(cobWay, input.ConsumeIntegralInRange<int>(0, 2));
  for (ControlId box : {chkL, chkT, chkW})
    if (input.ConsumeBool()) fake.window.UserClick(box);
  fake.window.UserClick(cmdOut);

  const bool refusable = HasQuoteOrControl(folder) || HasQuoteOrControl(pattern);
  const bool fits = codePage.Encode(FolderWithBackslash(folder)) && codePage.Encode(pattern);
  const bool written = fake.files.FileExists(batchPath);
  const bool messaged = fake.window.messages.size() > messagesBefore &&
                        fake.window.messages.back().style == MessageStyle::Error;
  if (!written) {
    if (!refusable) Fail("a folder and pattern that fit were refused", folder + "\n" + pattern);
    if (!messaged) Fail("a refusal without a message", folder + "\n" + pattern);
    return 0;
  }
  if (refusable) Fail("a folder or pattern that cannot be written was", folder + "\n" + pattern);
  const Text bytes = fake::FakeFileSystem::ReadBytes(batchPath);
  if (fits)
    CheckBatchFile(bytes, codePage, FolderWithBackslash(folder) + pattern, session->programFolder);
  else
    CheckVariables(bytes, fake.window.runs, batchPath, FolderWithBackslash(folder), pattern,
                   session->programFolder);
  return 0;
}
