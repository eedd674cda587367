#include "codecs/header_decode.h"

#include <gtest/gtest.h>

#include "codecs/body_text.h"
#include "text/base64.h"
#include "text/code_page.h"
#include "text/sjis_text.h"

namespace plumex {
namespace {

std::string IsoWord(const std::string& jis) { return "=?ISO-2022-JP?B?" + Base64Encode(jis) + "?="; }
std::string Utf8Word(const std::string& utf8) { return "=?UTF-8?B?" + Base64Encode(utf8) + "?="; }

TEST(DecodeHeader, EncodedWordsOfEveryKind) {
  const std::string to = "\x82\xC6";  // と
  struct Case {
    std::string raw, decoded;
  };
  const Case cases[] = {
      {"=?ISO-2022-JP?B?GyRCJEgbKEI=?=", to},
      {"=?iso-2022-jp?b?GyRCJEgbKEI=?=", to},
      {IsoWord("\x1B$B$H\x1B(B") + IsoWord("\x1B$B$H\x1B(B"), to + to},           // back to back
      {IsoWord("\x1B$B$H\x1B(B") + "\r\n " + IsoWord("\x1B$B$H\x1B(B"), to + to}, // across a fold
      {"=?ISO-2022-JP?B?GyRCJEgbKEI=", ""},                                        // never closed
      {"=?Shift_JIS?B?" + Base64Encode(Sjis("会議")) + "?=", Sjis("会議")},
      {Utf8Word("会議室"), Sjis("会議室")},
      {"=?UTF-8?Q?=E4=BC=9A=E8=AD=B0_x?=", Sjis("会議 x")},
      {"=?US-ASCII?Q?Hello=20World?=", "Hello World"},
      {"=?US-ASCII?Q?bad=ZZ=4?=", "bad=ZZ=4"},  // a broken escape is copied, never an error
      {"=?ISO-2022-JP?Q?=1B$B$H=1B(B?=", to},
      {"=?ISO-8859-1?Q?caf=E9?=", "caf?"},  // é has no code page 932 form
      {"\x1B$B$H\x1B(B", to},                                  // raw JIS
      {"\xB0\xA1\xA4\xF3", Sjis("亜ん")},                      // raw EUC-JP that detection decides
      {"\xA4\xA2", "\xA4\xA2"},                                // undecided: unchanged
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHeader(c.raw), c.decoded) << c.raw;
}

TEST(DecodeHeader, KeepsSpacesOutsideEncodedWords) {
  EXPECT_EQ(DecodeHeader("Re: hello world"), "Re: hello world");
  EXPECT_EQ(DecodeHeader("Hello World"), "Hello World");
  EXPECT_EQ(DecodeHeader("Re: " + IsoWord("\x1B$B$H\x1B(B") + " and " + Utf8Word("会")),
            "Re: \x82\xC6 and " + Sjis("会"));
  EXPECT_EQ(DecodeHeader(Utf8Word("会") + " " + IsoWord("\x1B$B$H\x1B(B")), Sjis("会") + "\x82\xC6");
}

TEST(DecodeHeader, WordsSplitInsideACharacterAreJoined) {
  // The UTF-8 bytes of 会 split across two words, and the JIS two-byte mode across two words.
  const std::string kai = "会";
  EXPECT_EQ(DecodeHeader(Utf8Word(kai.substr(0, 1)) + " " + Utf8Word(kai.substr(1))), Sjis("会"));
  EXPECT_EQ(DecodeHeader(IsoWord("\x1B$B$H") + "\r\n\t" + IsoWord("$H\x1B(B")), "\x82\xC6\x82\xC6");
}

TEST(DecodeHeader, JisVariantsAndEucCharset) {
  EXPECT_EQ(DecodeHeader(IsoWord("\x1B(I1\x1B(B")), "\xB1");         // half-width ｱ
  EXPECT_EQ(DecodeHeader(IsoWord("\x1B$B-!\x1B(B")), Sjis("①"));    // NEC row 13
  EXPECT_EQ(DecodeHeader("\xA4\xA2", "EUC"), "\x82\xA0");             // EUC by the message's charset
}

TEST(DecodeHeader, JisCodePointsBecomeTheirCp932Forms) {
  EXPECT_EQ(DecodeHeader(Utf8Word("〜")), "\x81\x60");
}

TEST(DecodeBodyText, Charsets) {
  EXPECT_EQ(DecodeBodyText("iso-2022-jp", "\x1B$B$H\x1B(B\r\nx"), "\x82\xC6\r\nx");
  EXPECT_EQ(DecodeBodyText("UTF-8", "会議〜"), Sjis("会議～"));
  EXPECT_EQ(DecodeBodyText("", "\xB0\xA1"), "\xB0\xA1");  // undecided stays
  EXPECT_EQ(DecodeBodyText("ISO-2022-JP", "\x1B(I1\x1B(B"), "\xB1");
  EXPECT_EQ(DecodeBodyText("", Sjis("本文")), Sjis("本文"));
}

TEST(FindHeaderValue, KeysContinuationsAndTheFiftyLineLimit) {
  std::vector<std::string> lines = {"Content-Type: text/plain;", "\tcharset=\"ISO-2022-JP\"", "", "body"};
  size_t i = 0;
  EXPECT_EQ(FindHeaderValue("charset", lines, false, i), "\"ISO-2022-JP\"");
  EXPECT_EQ(i, 2u);
  i = 0;
  EXPECT_EQ(FindHeaderValue("", lines, false, i), "");
  EXPECT_EQ(i, 3u);

  std::vector<std::string> from = {"Reply-From: x", "From: a@x"};
  i = 0;
  EXPECT_EQ(FindHeaderValue("From", from, true, i), " a@x");
  i = 0;
  EXPECT_EQ(FindHeaderValue("from", from, false, i), " x");

  std::vector<std::string> folded = {"Subject: a", " b ", "\tc", "X: y"};
  i = 0;
  EXPECT_EQ(FindHeaderValue("Subject", folded, true, i), " abc");
  EXPECT_EQ(i, 3u);

  std::vector<std::string> many(60, "x");
  many[50] = "key: late";
  i = 0;
  EXPECT_EQ(FindHeaderValue("key", many, false, i), "");
  EXPECT_EQ(i, 50u);
  EXPECT_EQ(FindHeaderValue("key", many, false, i), "");  // start at the end: nothing, i unchanged
  EXPECT_EQ(i, 50u);
}

}  // namespace
}  // namespace plumex

namespace plumex {
namespace {

// Faults a second implementation found by comparing the two.
TEST(DecodeHeader, IbmCharactersSurviveAndCharsetsDoNotStack) {
  const std::string takahashi = Sjis("髙橋様");  // 髙 is 0xFB 0xFC
  EXPECT_EQ(DecodeHeader("=?UTF-8?B?" + Base64Encode("髙橋様") + "?="), takahashi);
  EXPECT_EQ(DecodeHeader("=?Shift_JIS?B?" + Base64Encode(takahashi) + "?="), takahashi);
  EXPECT_EQ(DecodeBodyText("UTF-8", "髙橋様"), takahashi);
  EXPECT_EQ(DecodeBodyText("Shift_JIS", takahashi), takahashi);
  // An ISO-2022-JP word in a message whose charset is EUC is not taken through EUC again.
  EXPECT_EQ(DecodeHeader("=?ISO-2022-JP?B?GyRCJEgbKEI=?=", "EUC"), "\x82\xC6");
  EXPECT_EQ(DecodeHeader("Re:\tx"), "Re: x");
}

TEST(DecodeHeader, HostileHeadersTakeLinearTime) {
  std::string hostile;
  for (int i = 0; i < 40000; ++i) hostile += "=?ISO-2022-JP?B?x";
  // Finishes at once rather than after minutes; the last word, never closed, is dropped and
  // the openings before it, which no "?=" closes, are plain text.
  EXPECT_EQ(DecodeHeader(hostile), hostile.substr(0, hostile.size() - 17));
}

TEST(DecodeQuotedPrintable, SoftLineBreaks) {
  EXPECT_EQ(DecodeQuotedPrintable("a=\r\nb=\nc"), "abc");
  EXPECT_EQ(DecodeBodyText("", "=1B$B$H=\r\n$H=1B(B"), "\x82\xC6\x82\xC6");
}

}  // namespace
}  // namespace plumex
