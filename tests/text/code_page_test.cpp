#include "text/code_page.h"

#include <gtest/gtest.h>

#include "text/carried_text.h"

namespace plumex {
namespace {

TEST(CodePage, Cp932AndUtf8RoundTrip) {
  const std::string utf8 = "受信 ﾃｽﾄ ①Ⅱ ～ abc\\";
  std::string sjis = Utf8ToCp932(utf8);
  EXPECT_EQ(sjis.substr(0, 4), "\x8E\xF3\x90\x4D");
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
}

TEST(CodePage, BadInputNeverStopsConversion) {
  EXPECT_EQ(Utf8ToCp932("a\xFF" "b"), "a?b");
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");        // truncated character
  std::string out;
  EXPECT_FALSE(ConvertCharset("NO-SUCH-CHARSET", "CP932", "x", out));
}

// What code page 932 lacks is carried in its user-defined rows and comes back whole; the
// store's form of the same text has one "?" for each.
TEST(CodePage, CharactersTheCodePageLacksAreCarried) {
  struct Case {
    std::string utf8, stored;
  };
  const Case cases[] = {
      {"a😀b", "a?b"},
      {"会議😀のお知らせ 한국", "会議?のお知らせ ??"},
      {"Crème brûlée 这是", "Cr?me br?l?e ?是"},
      {"🏴\U000E0067\U000E0062\U000E007F", "????"},  // a flag with its tags
      {"\U0003FFFD x", "? x"},
      {"❤️ ok", "?? ok"},  // a heart and its variation selector
      {"ア\uE000", "ア\uE000"},  // private use keeps its own place in the user-defined rows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    const std::string carried = Utf8ToCp932(c.utf8);
    EXPECT_EQ(Cp932ToUtf8(carried), c.utf8);
    EXPECT_EQ(Cp932ToUtf8(WithSubstitutes(carried)), c.stored);
  }
  // Beyond what is carried: a substitute, as before.
  EXPECT_EQ(Utf8ToCp932("\U0010FFFD"), "?");
  // Escapes split by a cut: each half stays what it is, never another character.
  const std::string pair = Utf8ToCp932("😀");
  ASSERT_EQ(pair.size(), 4u);
  EXPECT_EQ(Cp932ToUtf8(pair.substr(0, 2) + "x").substr(3), "x");
}

// Text from elsewhere takes the JIS X 0208 code points as the code page's characters and
// keeps nothing the store cannot hold; text a person typed keeps what the table lacks.
TEST(CodePage, JisMappingAndWindowsTable) {
  const std::string jis_forms = "〜‖−¢£¬—";
  EXPECT_EQ(Utf8ToCp932FromJisMapping(jis_forms), "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C");
  EXPECT_EQ(Utf8ToCp932FromJisMapping("～∥－"), Utf8ToCp932FromJisMapping("〜‖−"));
  EXPECT_EQ(Utf8ToCp932FromJisMapping("\xEF\xBB\xBF" "a\xF0\x9F\x98\x80\uE000"), "a??");  // mark dropped
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("a\xF0\x9F\x98\x80\uE000")), "a\xF0\x9F\x98\x80\uE000");  // carried
}

TEST(CodePage, LeadBytes) {
  EXPECT_TRUE(IsCp932LeadByte(0x81));
  EXPECT_TRUE(IsCp932LeadByte(0xFC));
  EXPECT_FALSE(IsCp932LeadByte(0xA1));  // half-width katakana stand alone
  EXPECT_FALSE(IsCp932LeadByte('a'));
}

}  // namespace
}  // namespace plumex

#include "text/sjis_search.h"

namespace plumex {
namespace {

TEST(SjisSearch, NeverMatchesInsideACharacter) {
  // "ア" is 0x83 0x41: its trail byte is "A".
  EXPECT_EQ(FindSjis("\x83\x41" "A", "A"), 2u);
  EXPECT_EQ(FindSjis("\x83\x41", "A"), std::string_view::npos);
  EXPECT_EQ(FindSjis("abcabc", "c", 3), 5u);
  EXPECT_EQ(FindSjis("abc", ""), std::string_view::npos);
  EXPECT_EQ(FindSjis("Abc", "abc"), std::string_view::npos);  // case-sensitive
  EXPECT_TRUE(ContainsSjis("x\x95\x5C", "\x95\x5C"));
}

}  // namespace
}  // namespace plumex
