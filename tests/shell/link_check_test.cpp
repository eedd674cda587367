// Links whose text shows another host than the one they lead to.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "shell/link_check.h"

namespace plumex {
namespace {

TEST(LinkCheck, LinkTextAgainstTarget) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"https://bank.example/login", "https://evil.example/bank", true},
      {"www.bank.example", "https://bank.example.evil.example/", true},
      {"bank.example/login", "http://bank.example@evil.example/login", true},  // user info is no host
      {"こちらから https://bank.example にログイン", "https://evil.example/", true},
      {"https://bank.example/", "https://www.bank.example/login", false},
      {"https://Bank.Example", "https://login.bank.example:8443/", false},  // a name under the shown one
      {"https://login.bank.example", "https://bank.example/", false},
      {"こちら", "https://evil.example/", false},  // shows no address
      {"version 1.5", "https://evil.example/", false},
      {"support@bank.example", "mailto:x@evil.example", false},
      {"https://bank.example", "javascript:alert(1)", true},  // shows an address, leads to none
  };
  for (const auto& [text, target, deceptive] : cases)
    EXPECT_EQ(IsDeceptiveLink(Cp932ToUtf8(Utf8ToCp932(text)), target), deceptive) << text << " -> " << target;
  EXPECT_EQ(HostOfUrl("https://user:pw@Bank.Example.:443/x?y"), "bank.example");
}

TEST(LinkCheck, TheTextViewMarksALinkAfterAnotherShownHost) {
  const std::u16string body =
      u"ログイン: https://bank.example/ <https://evil.example/login>\n"
      u"bank.example (http://bank.example/help)\n"
      u"https://plain.example/";
  const auto ranges = DeceptiveLinkRanges(body);
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(body.substr(ranges[0].start, ranges[0].length), u"https://evil.example/login");
  EXPECT_EQ(DeceptiveHostBefore(body, ranges[0].start, "https://evil.example/login"), "bank.example");
  EXPECT_EQ(Cp932ToUtf8(DeceptiveLinkQuestion("bank.example", "https://evil.example/login")),
            "このリンクは表示されているアドレスと実際の行き先が違います。\r\n\r\n表示: bank.example\r\n"
            "実際の行き先: https://evil.example/login\r\n\r\n偽のサイトに誘導される恐れがあります。このリンクを開きますか？");
}

}  // namespace
}  // namespace plumex
