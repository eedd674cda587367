#include "codecs/header_encode.h"

#include <gtest/gtest.h>

#include "codecs/header_decode.h"
#include "platform/base64.h"
#include "platform/sjis_text.h"

namespace plumex {
namespace {

TEST(EncodeHeaderWord, OneWordForTheWholeValue) {
  EXPECT_EQ(EncodeHeaderWord("report.pdf"), "report.pdf");
  EXPECT_EQ(EncodeHeaderWord("<20240305_102030@x.jp>"), "<20240305_102030@x.jp>");
  EXPECT_EQ(EncodeHeaderWord("\xB1.txt"), "\xB1.txt");  // half-width kana alone: unchanged
  std::string word = EncodeHeaderWord(Sjis("資料") + ".txt");
  EXPECT_EQ(word, "=?ISO-2022-JP?B?" + Base64Encode("\x1B$B;qNA\x1B(B.txt") + "?=");
  EXPECT_EQ(DecodeHeader(word), Sjis("資料") + ".txt");
  EXPECT_EQ(EncodeHeaderWord("\x81\x40"), "=?ISO-2022-JP?B?" + Base64Encode("\x1B$B!!\x1B(B") + "?=");
}

}  // namespace
}  // namespace plumex
