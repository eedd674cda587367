#include "text/ascii_case.h"

#include <gtest/gtest.h>

namespace plumex {
namespace {

// 0x83 0x41 is ア and 0x83 0x61 is ャ: their trail bytes look like "A" and "a".
const std::string kA = "\x83\x41";
const std::string kSmallYa = "\x83\x61";

TEST(AsciiCase, ByteWiseHelpers) {
  EXPECT_EQ(AsciiUpper("Content-Type: x;"), "CONTENT-TYPE: X;");
  EXPECT_EQ(AsciiLower(".JPG\xC3\x89"), ".jpg\xC3\x89");  // only ASCII letters change
  EXPECT_TRUE(StartsWithIgnoringCase("x=?iso-2022-jp?B?", 1, "=?ISO-2022-JP?b?"));
  EXPECT_FALSE(StartsWithIgnoringCase("ab", 1, "bc"));
  EXPECT_FALSE(StartsWithIgnoringCase("ab", 5, "b"));
  EXPECT_EQ(FindIgnoringCase("charset=Shift_JIS", "shift_jis"), 8u);
  EXPECT_EQ(FindIgnoringCase("aXa", "xa", 2), std::string_view::npos);
  EXPECT_EQ(FindIgnoringCase("abc", ""), std::string_view::npos);
}

TEST(AsciiCase, Cp932TextKeepsItsTrailBytes) {
  EXPECT_EQ(FoldCase("AB" + kA + "C"), "ab" + kA + "c");
  EXPECT_TRUE(EqualIgnoringCase("Re: " + kA, "RE: " + kA));
  EXPECT_FALSE(EqualIgnoringCase(kA, kSmallYa));
  EXPECT_LT(CompareIgnoringCase("a", "B"), 0);
  EXPECT_GT(CompareIgnoringCase("ab", "A"), 0);
  EXPECT_LT(CompareIgnoringCase(kA, kSmallYa), 0);
  EXPECT_EQ(CompareIgnoringCase("%SSdate%", "%ssDATE%"), 0);
}

}  // namespace
}  // namespace plumex
