#include "text/base64.h"

#include <gtest/gtest.h>

namespace plumex {
namespace {

TEST(Base64, EncodeAndLenientDecode) {
  EXPECT_EQ(Base64Encode("a"), "YQ==");
  EXPECT_EQ(Base64Encode("ab"), "YWI=");
  EXPECT_EQ(Base64Encode("abc"), "YWJj");
  EXPECT_EQ(Base64Encode(std::string("\xFF\x00\x80", 3)), "/wCA");
  std::string out = "x";
  AppendBase64(out, "ab");
  EXPECT_EQ(out, "xYWI=");
  EXPECT_EQ(Base64Decode("GyRCJEgbKEI="), "\x1B$B$H\x1B(B");
  EXPECT_EQ(Base64Decode("YQ"), "");                       // incomplete group
  EXPECT_EQ(Base64Decode("AAAA"), std::string(1, '\0'));   // b1 always, zero b2 and b3 lost
  EXPECT_EQ(Base64DecodeBytes("AAAA"), std::string(3, '\0'));
}

}  // namespace
}  // namespace plumex
