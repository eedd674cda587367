#include "shell/mailto_address.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"

namespace plumex {
namespace {

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

TEST(MailtoAddressTest, FieldsOfAddresses) {
  struct Case {
    const char* url;
    const char *to, *cc, *bcc, *subject;
    std::vector<std::string> body;
  } cases[] = {
      {"mailto:taro@example.jp", "taro@example.jp", "", "", "", {}},
      {"MAILTO:taro@example.jp?Subject=hi", "taro@example.jp", "", "", "hi", {}},
      // Several recipients, more in a "to" header; cc and bcc; other headers ignored.
      {"mailto:a@x.jp,b@x.jp?to=c@x.jp&cc=d@x.jp&bcc=e@x.jp&in-reply-to=%3Cid%40x%3E", "a@x.jp,b@x.jp,c@x.jp",
       "d@x.jp", "e@x.jp", "", {}},
      // Percent-escapes are UTF-8: Japanese subject and body; "+" is a plus sign.
      {"mailto:?to=hanako%40example.jp&subject=%E4%BC%9A%E8%AD%B0+1&body=%E4%BD%90%E8%97%A4%E6%A7%98%0D%0A%0D%0Aok",
       "hanako@example.jp", "", "", "会議+1", {"佐藤様", "", "ok"}},
      // Broken escapes stay as they are; a lone LF or CR ends a line too.
      {"mailto:x@y.jp?subject=100%&body=a%0Ab%0Dc", "x@y.jp", "", "", "100%", {"a", "b", "c"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.url);
    auto f = ParseMailto(k.url);
    ASSERT_TRUE(f);
    EXPECT_EQ(U(f->to), k.to);
    EXPECT_EQ(U(f->cc), k.cc);
    EXPECT_EQ(U(f->bcc), k.bcc);
    EXPECT_EQ(U(f->subject), k.subject);
    std::vector<std::string> body;
    for (const auto& line : f->body) body.push_back(U(line));
    EXPECT_EQ(body, k.body);
  }
  for (const char* not_mailto : {"", "mailto", "http://example.jp/", "taro@example.jp"})
    EXPECT_FALSE(ParseMailto(not_mailto)) << not_mailto;
}

}  // namespace
}  // namespace plumex
