// The text test of the searches: ASCII case folded, never inside a two-byte character.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "search/folded_match.h"

namespace plumex {
namespace {

TEST(FoldedKeyTest, Matches) {
  const struct {
    std::string key;   // CP932
    std::string text;  // CP932
    bool found;
    const char* why;
  } cases[] = {
      {"invoice", "Re: INVOICE for May", true, "a lower-case key finds capitals"},
      {"invoice", "Re: InVoIcE", true, "and mixed case"},
      {"INVOICE", "the invoice", true, "and the other way round"},
      {Utf8ToCp932("請求書"), Utf8ToCp932("件名:請求書の送付"), true, "two-byte text"},
      {"A", Utf8ToCp932("ア"), false, "the trail byte 0x41 of \"ア\" is no letter"},
      {"a", Utf8ToCp932("ア"), false, "nor when folded"},
      {"\x41\x83", Utf8ToCp932("アア"), false, "a match never starts on a trail byte"},
      {Utf8ToCp932("ア"), Utf8ToCp932("ァ"), false, "trail bytes are compared as they are"},
      {"b", "line one\r\nline B\r\n", true, "any line"},
      {"one\r\nline", "line one\r\nline B\r\n", false, "one line at a time"},
      {"x", "\x83\r\nx", true, "a broken character before a line end ends with its line"},
      {"", "anything", false, "an empty key is found nowhere"},
      {"long key", "short", false, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FoldedKey(c.key).FoundIn(c.text), c.found) << c.why;
}

}  // namespace
}  // namespace plumex
