// What of src/base no other suite reaches: finding a name regardless of case,
// and a strict conversion between character sets.
#include <gtest/gtest.h>

#include "base/charset_conversion.h"
#include "base/path_case.h"
#include "support/test_support.h"

namespace quernel {
namespace {

TEST(ResolveIgnoringCase, TakesTheExactNameElseOneDifferingInAsciiCaseOnly) {
  const testing::TempFolder temp;
  for (const char* file : {"P/Path.txt", "P/path.TXT", "P/sub/AZ.htm", "P/É.txt"}) temp.Write(file, "");
  const struct {
    const char *asked, *found;
  } cases[] = {
      {"P/path.TXT", "P/path.TXT"},      // the exact name wins
      {"p/SUB/az.HTM", "P/sub/AZ.htm"},  // the first and the last letter
      {"P/é.txt", "P/é.txt"},            // other letters keep their case
      {"p/new.bat", "P/new.bat"},        // a missing name stays as asked
      {"Q/Sub/X", "Q/Sub/X"},            // and so does all past it
  };
  const std::string root = temp.Path().string() + "/";
  for (const auto& c : cases) EXPECT_EQ(ResolveIgnoringCase(root + c.asked), root + c.found) << c.asked;
}

TEST(ConvertCharset, ConvertsAllOrNothing) {
  EXPECT_EQ(ConvertCharset("\xd2\xf4\xc0\xd6", "GBK", "UTF-8"), "音乐");
  EXPECT_EQ(ConvertCharset("\xd2", "GBK", "UTF-8"), std::nullopt);  // half a character
  EXPECT_EQ(ConvertCharset("a😀", "UTF-8", "GBK"), std::nullopt);
  EXPECT_EQ(ConvertCharset("x", "NO-SUCH-CHARSET", "UTF-8"), std::nullopt);
}

}  // namespace
}  // namespace quernel
