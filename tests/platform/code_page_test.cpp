#include "platform/code_page.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no CP932 form
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");        // truncated character
  std::string out;
  EXPECT_FALSE(ConvertCharset("NO-SUCH-CHARSET", "CP932", "x", out));
}

TEST(CodePage, LeadBytes) {
  EXPECT_TRUE(IsCp932LeadByte(0x81));
  EXPECT_TRUE(IsCp932LeadByte(0xFC));
  EXPECT_FALSE(IsCp932LeadByte(0xA1));  // half-width katakana stand alone
  EXPECT_FALSE(IsCp932LeadByte('a'));
}

}  // namespace
}  // namespace plumex

#include "platform/sjis_search.h"

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
