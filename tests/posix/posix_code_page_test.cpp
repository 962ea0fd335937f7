#include "platform/posix/posix_code_page.h"

#include <gtest/gtest.h>

#include "platform/posix/locale_charset.h"
#include "platform/posix/posix_file_system.h"

namespace quernel::posix {
namespace {

struct EncodeCase {
  const char* text;
  std::optional<std::string> bytes;
};

void ExpectEncodings(const char* localeName, std::initializer_list<EncodeCase> cases) {
  const auto codePage = PosixCodePage::ForLocale(localeName);
  if (!codePage) GTEST_SKIP() << localeName << " is not generated (scripts/install-deps.sh makes it)";
  for (const EncodeCase& c : cases) EXPECT_EQ(codePage->Encode(c.text), c.bytes) << c.text;
}

TEST(PosixCodePage, GbkLocaleWritesChineseInTwoBytesAndRefusesWhatGbkLacks) {
  ExpectEncodings("zh_CN.GBK", {
                                   {"音乐", "\xd2\xf4\xc0\xd6"},
                                   {"C:\\音乐\\*.mp3", "C:\\\xd2\xf4\xc0\xd6\\*.mp3"},
                                   {"/home/张三/文档", "/home/\xd5\xc5\xc8\xfd/\xce\xc4\xb5\xb5"},
                                   {"", ""},
                                   {"한국", std::nullopt},          // Hangul has no place in GBK
                                   {"音乐😀", std::nullopt},         // nor have emoji
                                   {"a\U000E0007b", std::nullopt},  // iconv would drop the tag
                                   {"\xff\xfe", std::nullopt},      // not UTF-8 at all
                               });
}

TEST(PosixCodePage, Utf8LocaleKeepsTheTextAsItIs) {
  ExpectEncodings("zh_CN.UTF-8", {
                                     {"音乐", "音乐"},
                                     {"한국 😀 é", "한국 😀 é"},
                                     {"dir \"/tmp/%\"", "dir \"/tmp/%\""},
                                 });
}

TEST(PosixCodePage, NamesTheCharsetOfTheLocale) {
  struct Case {
    const char* locale;
    const char* name;
  };
  for (const Case c : {Case{"zh_CN.GBK", "GBK"}, Case{"zh_CN.UTF-8", "UTF-8"}, Case{"C.UTF-8", "UTF-8"}}) {
    const auto codePage = PosixCodePage::ForLocale(c.locale);
    if (!codePage) continue;  // a locale that is not generated
    EXPECT_EQ(codePage->Name(), c.name) << c.locale;
  }
  EXPECT_EQ(PosixCodePage::ForLocale("xx_NOWHERE.none"), nullptr);
}

TEST(LocaleCharset, ConvertsBackAndForthAndStopsAtMalformedInput) {
  EXPECT_EQ(ConvertCharset("\xd2\xf4\xc0\xd6", "GBK", "UTF-8"), "音乐");
  EXPECT_EQ(ConvertCharset("\xd2", "GBK", "UTF-8"), std::nullopt);  // half a character
  EXPECT_EQ(ConvertCharset("x", "NO-SUCH-CHARSET", "UTF-8"), std::nullopt);
}

TEST(SystemReason, IsUtf8InTheUsersLanguage) {
  const Text reason = SystemReason(ENOENT);
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(ConvertCharset(reason, "UTF-8", "UTF-16LE").has_value()) << reason;
}

}  // namespace
}  // namespace quernel::posix
