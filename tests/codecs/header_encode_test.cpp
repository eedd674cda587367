#include "codecs/header_encode.h"

#include <gtest/gtest.h>

#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "text/base64.h"
#include "text/sjis_text.h"

namespace plumex {
namespace {

TEST(EncodeHeaderWord, OneWordForTheWholeValue) {
  EXPECT_EQ(EncodeHeaderWord("report.pdf"), "report.pdf");
  EXPECT_EQ(EncodeHeaderWord("<20240305_102030@x.jp>"), "<20240305_102030@x.jp>");
  // Half-width katakana go out full width, never as raw 8-bit bytes.
  EXPECT_EQ(EncodeHeaderWord("\xB6\xDE.txt"), "=?ISO-2022-JP?B?" + Base64Encode("\x1B$B%,\x1B(B.txt") + "?=");
  std::string word = EncodeHeaderWord(Sjis("資料") + ".txt");
  EXPECT_EQ(word, "=?ISO-2022-JP?B?" + Base64Encode("\x1B$B;qNA\x1B(B.txt") + "?=");
  EXPECT_EQ(DecodeHeader(word), Sjis("資料") + ".txt");
  EXPECT_EQ(EncodeHeaderWord("\x81\x40"), "=?ISO-2022-JP?B?" + Base64Encode("\x1B$B!!\x1B(B") + "?=");
}

TEST(EncodeHeaderB, HalfWidthKatakanaAndSpacesBetweenWords) {
  const std::string kana = Sjis("ｶﾞｲﾄﾞ ﾃｽﾄ");
  const std::string encoded = EncodeHeaderB(kana);
  for (char c : encoded) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << encoded;
  EXPECT_EQ(DecodeHeader(encoded), Sjis("ガイド テスト"));
  EXPECT_EQ(DecodeHeader(EncodeHeaderB(Sjis("会議 資料 a 件"))), Sjis("会議 資料 a 件"));
}

TEST(FitsJisX0208, CodePage932sOwnRowsDoNot) {
  struct Case {
    const char* utf8;
    bool fits;
  };
  const Case cases[] = {{"abc", true},       {"会議～", true},   {"ｶﾞｲﾄﾞ", true}, {"亜腕弌熙", true},
                        {"髙橋", false},      {"山﨑", false},     {"①", false},    {"Ⅱ", false},
                        {"㈱", false},        {"纊", false},      {"∵≒", true}};
  for (const Case& c : cases) EXPECT_EQ(FitsJisX0208(Sjis(c.utf8)), c.fits) << c.utf8;
}

TEST(EncodeHeaderUtf8, ReadsBackExactlyInShortWords) {
  const std::string texts[] = {Sjis("髙橋様 山﨑 ①Ⅱ㈱"), "Re: " + Sjis("件"), "plain",
                               Sjis("長い件名の髙") + std::string(40, 'x') + Sjis("終わりの漢字がたくさん続く件名です﨑")};
  for (const std::string& text : texts) {
    const std::string encoded = EncodeHeaderUtf8(text);
    EXPECT_EQ(DecodeHeader(encoded), text) << encoded;
    for (size_t at = encoded.find("=?"), end = 0; at != std::string::npos; at = encoded.find("=?", end + 2)) {
      end = encoded.find("?=", at + 10);
      ASSERT_NE(end, std::string::npos);
      EXPECT_LE(end + 2 - at, 75u) << encoded;
      // Each word stands apart from other text.
      EXPECT_TRUE(at == 0 || encoded[at - 1] == ' ') << encoded;
    }
  }
  EXPECT_EQ(DecodeHeader(EncodeHeaderWordUtf8(Sjis("髙橋.pdf"))), Sjis("髙橋.pdf"));
}

}  // namespace
}  // namespace plumex
