#include "codecs/jconvert.h"

#include <gtest/gtest.h>

#include <random>

#include "text/base64.h"
#include "text/code_page.h"
#include "text/sjis_text.h"

namespace plumex {
namespace {

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

TEST(DetectCode, Table) {
  struct Case {
    std::string text;
    int code;
  };
  std::string long_text(8200, 'a');
  long_text[8195] = 0x07;  // beyond the pre-scan, found by the main scan
  std::string control_last = "abc" + B({0x07});
  const Case cases[] = {
      {"", CodeAscii},
      {B({0x82}), CodeAscii},  // one byte: always ASCII
      {control_last, CodeAscii},
      {"a" + B({0x01}) + "b", CodeNonText},
      {long_text, CodeNonText},
      {"x\x1B$B0!\x1B(B", CodeJis},
      {"x\x1B$@0!", CodeJisOld},
      {"x\x1B(Bab", CodeAscii},
      {B({0x82, 0xA0}), CodeSjis},        // あ in Shift_JIS
      {B({0xA4, 0xA2}), CodeEucOrSjis},   // あ in EUC-JP
      {B({0xA4, 0xF3}), CodeEuc},
      {B({0xB1, 0xE0, 0x81}), CodeSjis},  // look-ahead decides
      {B({0xB1, 0xE0, 0xFD}), CodeEuc},
      {B({0xF0, 0xA1}), CodeEuc},
      {B({0x8E, 0xB1}), CodeEucOrSjis},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectCode(c.text), c.code) << testing::PrintToString(c.text);
}

TEST(ConvertCode, BetweenJisSjisAndEuc) {
  EXPECT_EQ(ConvertCode("\x1B$B0!\x1B(B", CodeSjis), B({0x88, 0x9F}));  // 亜
  EXPECT_EQ(ConvertCode(B({0x88, 0x9F}), CodeJis), "\x1B$B0!\x1B(J");
  EXPECT_EQ(ConvertCode(B({0xA4, 0xA2}), CodeSjis), B({0xA4, 0xA2}));  // undecided: unchanged
  EXPECT_EQ(ConvertCode(B({0xB0, 0xA1, 0xA4, 0xF3}), CodeSjis), Sjis("亜ん"));
  EXPECT_EQ(ConvertCode("plain", CodeJis), "plain");
}

TEST(SjisToJis, KanaMarksAndLineEnds) {
  EXPECT_EQ(SjisToJis(B({0xB6, 0xDE})), "\x1B$B%,\x1B(J");        // ｶﾞ → ガ
  EXPECT_EQ(SjisToJis(B({0xCA, 0xDF})), "\x1B$B%Q\x1B(J");        // ﾊﾟ → パ
  EXPECT_EQ(SjisToJis(B({0xB3, 0xDE})), "\x1B$B%t\x1B(J");        // ｳﾞ → ヴ
  EXPECT_EQ(SjisToJis(B({0xDE})), "\x1B$B!+\x1B(J");              // a lone ﾞ
  EXPECT_EQ(SjisToJis(B({0xB1, 0xDE})), "\x1B$B%\"!+\x1B(J");     // ｱ does not take ﾞ
  EXPECT_EQ(SjisToJis(Sjis("亜\r\n亜")), "\x1B$B0!\x1B(J\r\n\x1B$B0!\x1B(J");
  EXPECT_EQ(SjisToJis(B({0x88})), "\x1B$B\x1B(J");  // a lead byte at the end reads nothing past it
  EXPECT_EQ(EucToJis(B({0x8E, 0xB6, 0x8E, 0xDE})), "\x1B$B%,\x1B(J");
}

TEST(JisPairs, Arithmetic) {
  struct Case {
    int s1, s2, j1, j2;
  };
  const Case cases[] = {{0x81, 0x40, 0x21, 0x21}, {0xE0, 0x40, 0x5F, 0x21}, {0x88, 0x9F, 0x30, 0x21},
                        {0x87, 0x40, 0x2D, 0x21}, {0x82, 0xA0, 0x24, 0x22}};
  for (const auto& c : cases) {
    unsigned char j1, j2, s1, s2;
    SjisPairToJis(c.s1, c.s2, j1, j2);
    EXPECT_EQ(j1, c.j1);
    EXPECT_EQ(j2, c.j2);
    JisPairToSjis(j1, j2, s1, s2);
    EXPECT_EQ(s1, c.s1);
    EXPECT_EQ(s2, c.s2);
  }
}

TEST(JisToSjis, HalfWidthKatakanaAndNecCharacters) {
  // ESC ( I selects JIS X 0201 katakana; row 13 holds the NEC characters ① and Ⅱ.
  EXPECT_EQ(JisToSjis("\x1B(I1\x1B(B"), B({0xB1}));
  EXPECT_EQ(JisToSjis("\x1B$B-!-6\x1B(B"), Sjis("①Ⅱ"));
  EXPECT_EQ(JisToSjis("\x1B$B0"), "");  // half a character at the end
  EXPECT_EQ(JisToSjis("ab\x1B$"), "ab");
}

TEST(EncodeHeaderB, RunsOfDoubleByteCharacters) {
  EXPECT_EQ(EncodeHeaderB("abc"), "abc");
  EXPECT_EQ(EncodeHeaderB("Re:" + Sjis("会議")), "Re:=?ISO-2022-JP?B?" + Base64Encode("\x1B$B2q5D\x1B(J") + "?=");
  std::string two = EncodeHeaderB(Sjis("会") + "-" + Sjis("議"));
  EXPECT_EQ(two, "=?ISO-2022-JP?B?" + Base64Encode("\x1B$B2q\x1B(J") + "?=-=?ISO-2022-JP?B?" +
                     Base64Encode("\x1B$B5D\x1B(J") + "?=");
}

TEST(JisToSjis, ReadingsDifferOnlyWhereTheTextIsNotWellFormed) {
  const std::string well_formed = "\x1B$B0!\x1B(Ba\x1B(I1\x1B(J";
  for (JisReading reading : {JisReading::Text, JisReading::HeaderWord, JisReading::CodePage50220})
    EXPECT_EQ(JisToSjis(well_formed, reading), Sjis("亜a") + "\xB1");
  struct Case {
    std::string jis, text, header_word, code_page;
  };
  const Case cases[] = {
      // JIS X 0212: read in step by every reading, one "?" a character code page 932 lacks.
      {"\x1B$(D!!", "?", "?", "?"},
      // A line break in two-byte mode: paired, dropped, or kept.
      {"\x1B$B0!\r\n", B({0x88, 0x9F, 0x77, 0x29}), B({0x88, 0x9F}), B({0x88, 0x9F, 0x0D, 0x0A})},
      // SO / SI select half-width katakana only in code page 50220.
      {"\x0E" "1\x0F", "\x0E" "1\x0F", "\x0E" "1\x0F", B({0xB1})},
      // An escape no reading knows: dropped, kept, or a change to one-byte mode.
      {"a\x1B(Qb", "ab", "a\x1B(Qb", "ab"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JisToSjis(c.jis), c.text) << testing::PrintToString(c.jis);
    EXPECT_EQ(JisToSjis(c.jis, JisReading::HeaderWord), c.header_word) << testing::PrintToString(c.jis);
    EXPECT_EQ(JisToSjis(c.jis, JisReading::CodePage50220), c.code_page) << testing::PrintToString(c.jis);
  }
}

// Generated texts of JIS X 0208 characters, half-width katakana and ASCII, against iconv.
TEST(Jconvert, AgreesWithIconvOnGeneratedText) {
  std::mt19937 rng(1234);
  std::vector<std::string> pieces;
  for (int j1 = 0x30; j1 <= 0x4E; ++j1)  // level-1 kanji rows, all assigned
    for (int j2 = 0x21; j2 <= 0x7E; j2 += 7) pieces.push_back(std::string() + char(j1) + char(j2));
  for (int round = 0; round < 40; ++round) {
    std::string jis, sjis_expected_utf8;
    std::string plain;
    for (int k = 0; k < 30; ++k) {
      int choice = static_cast<int>(rng() % 3);
      if (choice == 0) {
        const std::string& p = pieces[rng() % pieces.size()];
        plain += "\x1B$B" + p + "\x1B(B";
      } else if (choice == 1) {
        plain += static_cast<char>('a' + rng() % 26);
      } else {
        plain += "\r\n";
      }
    }
    std::string expected;
    ASSERT_TRUE(ConvertCharset("ISO-2022-JP", "CP932", plain, expected));
    EXPECT_EQ(JisToSjis(plain), expected);
    std::string euc;
    ASSERT_TRUE(ConvertCharset("CP932", "EUC-JP", expected, euc));
    EXPECT_EQ(EucToSjis(euc), expected);
    // Back to JIS: the converters return with ESC ( J, iconv with ESC ( B; both decode alike.
    std::string round_trip;
    ASSERT_TRUE(ConvertCharset("ISO-2022-JP", "UTF-8", SjisToJis(expected), round_trip));
    EXPECT_EQ(round_trip, Cp932ToUtf8(expected));
  }
  // Half-width katakana: JIS has none, so they become their full-width forms on the way out.
  std::string kana_utf8;
  ASSERT_TRUE(ConvertCharset("ISO-2022-JP", "UTF-8", SjisToJis(Sjis("ｶﾞｲﾄﾞ")), kana_utf8));
  EXPECT_EQ(kana_utf8, "ガイド");
}

}  // namespace
}  // namespace plumex
