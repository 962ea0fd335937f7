// The pieces of quernel-cmd that need no folder.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <sstream>

#include "quernel-cmd/charset.h"
#include "quernel-cmd/command_line.h"
#include "quernel-cmd/dir_options.h"
#include "quernel-cmd/invocation.h"
#include "quernel-cmd/text.h"
#include "quernel-cmd/wildcard.h"

namespace quernel::cmd {
namespace {

// Each "A => B" of `table`: what `f` makes of A is B.
void ExpectEach(std::initializer_list<std::string_view> table,
                const std::function<std::string(std::string)>& f) {
  for (const std::string_view text : table)
    EXPECT_EQ(f(std::string(text.substr(0, text.find(" => ")))), text.substr(text.find(" => ") + 4)) << text;
}

TEST(Wildcard, MatchesAsWindowsDoes) {
  // A pattern, the names it matches and, after "!", names it does not.
  for (const char* line : {"*.* README a.txt .", "* a.b.c",
                           // Case-insensitive, also beyond ASCII; "." and ".." only for "*" and "*.*".
                           "*.txt NOTES.TXT a.b.txt !a.txt.bak !txt !. !..", "ÄB* äbc.txt", "? !.", "?? !..",
                           // A final dot: names without an extension.
                           "*. README !a.txt !a.b.c", "abc. abc !abc.d",
                           // "?" before a dot or at the end may match nothing; a dot before a
                           // wildcard may match the end of the name.
                           "??.txt a.txt ab.txt !abc.txt", "a? a ab !abc", "??? 苹果", "a.* a a.txt", "a.? a",
                           "*.t* a.tar.gz", "f*f.* fluff", "苹*.txt 苹果.txt !香蕉.txt", "b* !apple"}) {
    std::istringstream words(line);
    const std::string pattern = *std::istream_iterator<std::string>(words);
    const WildcardPattern compiled(pattern);
    for (std::string name; words >> name;)
      EXPECT_EQ(compiled.Matches(name.substr(name[0] == '!')), name[0] != '!') << pattern << " ~ " << name;
  }
}

TEST(Text, ConvertsMeasuresAndLowersCase) {  // "?" for what cannot be converted
  Charset gbk("GBK");
  EXPECT_EQ(gbk.FromUtf8("苹果.txt"), "\xC6\xBB\xB9\xFB.txt");
  EXPECT_EQ(gbk.ToUtf8("\xC6\xBB\xB9\xFB.txt"), "苹果.txt");
  EXPECT_EQ(gbk.FromUtf8("a한b😀.txt"), "a?b?.txt");  // no GBK form
  EXPECT_EQ(gbk.ToUtf8("a\xFFz"), "a?z");
  EXPECT_EQ(Charset("UTF-8").ToUtf8("a\xC3(b\xE8\x8B"), "a?(b??");
  EXPECT_EQ(Charset("ANSI_X3.4-1968").FromUtf8("苹果"), "苹果");  // the C locale passes names through
  EXPECT_EQ(DisplayWidth("ＡＢ"), 4U);
  EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1U);  // e + combining acute
  EXPECT_EQ(ToLower("ÄÖÜ.Mp3"), "äöü.mp3");
}

TEST(CommandLine, ExpandsPercentsAsInABatchFile) {
  const EnvironmentLookup lookup = [](std::string_view name) -> std::optional<std::string> {
    return name == "HOME" ? std::optional("/home/u") : name == "Empty" ? std::optional("") : std::nullopt;
  };
  ExpectEach({"dir \"%HOME%\\*.*\" => dir \"/home/u\\*.*\"", "dir /m\\100%%\\*.* => dir /m\\100%\\*.*",
              "a%UNSET%b => ab", "a%Empty%b => ab", "50% off => 50 off", "%0 %1%*x => /q/path.bat x",
              "%%HOME%% => %HOME%"},
             [&](const std::string& line) { return ExpandPercents(line, lookup, "/q/path.bat"); });
}

// The words of a line, "'" marking a quoted one, then "> target" or ">> target".
std::string Split(const std::string& line) {
  const auto parsed = ParseCommandLine(line);
  if (!parsed) return "syntax error";
  const CommandLine& command = *parsed;
  std::string words;
  for (const Word& word : command.words) words += (word.quoted ? "'" : "") + word.text + " ";
  if (command.redirect) words += (command.redirect->append ? ">> " : "> ") + command.redirect->target;
  return words;
}

TEST(CommandLine, SplitsWordsAndRedirect) {
  ExpectEach(
      {"dir \"/home/u/Music\\*.mp3\"  /a:h /o:-n /l /B >\"/home/u/quernel\\Path.txt\" => "
       "dir '/home/u/Music\\*.mp3 /a:h /o:-n /l /B > /home/u/quernel\\Path.txt",
       "dir /my\" music\"\\*.*>>out.txt /b => dir '/my music\\*.* /b >> out.txt", "\tdir\t/w   => dir /w ",
       "exit 3 => exit 3 ", "dir | more => syntax error", "dir > => syntax error",
       "dir > > x => syntax error", "dir < in => syntax error", "dir & exit => syntax error"},
      Split);
}

// quernel-cmd's own arguments: "u" and the batch file, or "usage".
TEST(Invocation, TakesCmdsSwitchesBeforeC) {
  ExpectEach({"/c a.bat => a.bat", "/u /d /v:off /c a.bat => u a.bat", "/V:OFF /D /U /C a.bat => u a.bat",
              "/d /u /d /C /c => u /c", "/u /a /c a.bat => a.bat", "/a /u /c a.bat => u a.bat", "/c => usage",
              " => usage", "/u a.bat => usage", "/c a.bat b => usage", "/v:on /c a.bat => usage",
              "/k a.bat => usage", "/q /c a.bat => usage", "/u/d /c a.bat => usage", "/c a.bat /u => usage"},
             [](const std::string& line) {
               std::istringstream in(line);
               std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
               std::vector<const char*> arguments;
               for (const std::string& word : words) arguments.push_back(word.c_str());
               const auto invocation = ParseInvocation(arguments);
               return invocation ? (invocation->unicode ? "u " : "") + invocation->batch_file : "usage";
             });
}

// What dir's arguments come to: the path, "a:" the required and "-" the
// excluded attributes, "o:" the sort keys, the format and "l" for lower case.
std::string Options(const std::string& arguments) {
  DirOptions options;
  if (const auto parsed = ParseDirArguments(ParseCommandLine(arguments)->words, options); !parsed)
    return Describe(parsed.error(), Language::English);
  const auto letters = [](std::uint8_t bits) {
    std::string text;
    for (int bit = 0; bit < 5; ++bit)
      if (bits & (1U << bit)) text += "dhsra"[bit];
    return text;
  };
  std::string text = options.path.value_or("") + " a:" + letters(options.filter.required) + "-" +
                     letters(options.filter.excluded) + " o:";
  for (const SortKey& key : options.sort)
    (text += key.descending ? "-" : "") += "nsedg"[static_cast<int>(key.field)];
  return text + " " + "FWB"[static_cast<int>(options.Format())] + (options.lower_case ? "l" : "");
}

TEST(DirOptions, ParsesSwitchesAndRejectsBadOnes) {
  ExpectEach(
      {"\"/home/u/Music\\*.mp3\" /a:h /o:-n /l /B => /home/u/Music\\*.mp3 a:h- o:-n Bl",
       "/data\\*.* /a /o:s /w => /data\\*.* a:- o:s W", "/a: /O:N =>  a:- o:n F",
       "/A:-H /o-e =>  a:-h o:-e F", "/ad-r /o:gn =>  a:d-r o:gn F", "/o =>  a:-hs o:gn F",
       "/b/o:d /w =>  a:-hs o:d B",
       // Unquoted POSIX paths are no switches.
       "/data /b => /data a:-hs o: B", "/tmp/x\\*.* => /tmp/x\\*.* a:-hs o: F",
       "/q => Invalid switch - \"q\".", "/s => Invalid switch - \"s\".",
       "/a:x => Parameter format not correct - \"x\".", "/o:nz => Parameter format not correct - \"nz\".",
       "/o:n- => Parameter format not correct - \"n-\".", "/a /x:y => Invalid switch - \"x:y\".",
       "one two => Too many parameters - two"},
      Options);
}

}  // namespace
}  // namespace quernel::cmd
