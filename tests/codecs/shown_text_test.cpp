// Decoding to UTF-8 for showing: the same readings as the decoders to code page 932, with the
// characters code page 932 lacks kept (and carrier pictographs shown as their emoji).
#include <gtest/gtest.h>

#include "codecs/body_text.h"
#include "codecs/header_decode.h"
#include "codecs/shown_text.h"
#include "text/code_page.h"

namespace plumex {
namespace {

TEST(ShownText, HeaderValuesKeepWhatCodePage932Lacks) {
  struct Case {
    std::string raw, charset, shown, stored;
  };
  const Case cases[] = {
      {"=?UTF-8?B?5Lya6K2w8J+YgOOBruOBiuefpeOCieOBmyDtlZzqta0=?=", "", "会議😀のお知らせ 한국", "会議?のお知らせ ??"},
      // A four-byte character split across two words.
      {"=?UTF-8?Q?=F0=9F?= =?UTF-8?Q?=98=80?=", "", "😀", "?"},
      {"=?GB2312?B?1eLKx7zyzOU=?=", "", "这是简体", "?是?体"},
      {"=?ISO-8859-1?Q?Cr=E8me?=", "", "Crème", "Cr?me"},
      {"=?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?=", "", "こんにちは", "こんにちは"},
      // Raw 8-bit text: UTF-8, or the message's charset.
      {"caf\xC3\xA9 \xF0\x9F\x8D\xB0", "", "café 🍰", "caf? ?"},
      {"\xA7\xDA\xAD\xCC\xBB\xA1", "Big5", "我們說", "我們?"},
      // Carrier pictographs in Shift_JIS: their emoji; one without stays a substitute.
      {"=?Shift_JIS?B?+J+QsILq?=", "", "☀晴れ", "?晴れ"},
      {"=?Shift_JIS?B?+UqDQQ==?=", "", "?ア", "?ア"},
      // Private use in Unicode: the same carrier's pictograph, else a substitute.
      {"=?UTF-8?B?7pi+7oCA?=", "", "☀?", "??"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(DecodeHeaderUtf8(c.raw, c.charset), c.shown);
    EXPECT_EQ(Cp932ToUtf8(DecodeHeader(c.raw, c.charset)), c.stored);
  }
}

TEST(ShownText, BodiesInEveryCharset) {
  struct Case {
    std::string charset, bytes, shown;
  };
  const Case cases[] = {
      {"UTF-8", "안녕하세요 😀\r\n", "안녕하세요 😀\r\n"},
      {"GB2312", "\xD5\xE2\xCA\xC7", "这是"},
      {"Big5", "\xB3\x6F\xAC\x4F\xC1\x63\xC5\xE9", "這是繁體"},
      {"ISO-8859-1", "Cr\xE8me br\xFBl\xE9\x65", "Crème brûlée"},
      {"Shift_JIS", "\xF8\x9F\x82\xC5\x82\xB7", "☀です"},
      {"ISO-2022-JP", "\x1B$B$3$s\x1B(B", "こん"},
      {"", "\xEC\x95\x88", "안"},  // no label: valid UTF-8 is UTF-8
      {"UTF-8", std::string("a\0b\xEF\xBB\xBF", 6), "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.charset + ": " + c.shown);
    EXPECT_EQ(DecodeBodyTextUtf8(c.charset, c.bytes), c.shown);
  }
}

TEST(ShownText, BrokenShiftJisBecomesOneSubstituteAsStored) {
  EXPECT_EQ(SjisToShownUtf8("\x82\xA0\x82"), "あ?");
  EXPECT_EQ(SjisToShownUtf8(std::string("\x80x\0", 3)), "?x?");
  EXPECT_EQ(SjisToShownUtf8("\xF9\x92\xF9\xA0 \xB1"), "❤✨ ｱ");
}

}  // namespace
}  // namespace plumex
