// The address-list parser that decides the RCPT TO of every send: a table of the forms mail
// and people write.
#include "protocol/address_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/sjis_text.h"

namespace plumex {
namespace {

TEST(ParseAddressList, Table) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;  // name, address
  struct Case {
    std::string value;
    Pairs parsed;
  };
  const std::string hyo = Sjis("表");  // its second byte is a backslash
  const Case cases[] = {
      {"a@x", {{"", "a@x"}}},
      {"Taro <taro@x>", {{"Taro", "taro@x"}}},
      {"<a@x>", {{"", "a@x"}}},
      {"\"Yamada, Taro\" <t@x>, h@x", {{"Yamada, Taro", "t@x"}, {"", "h@x"}}},
      {"h@x (Hanako)", {{"Hanako", "h@x"}}},
      {"(comment, with comma) a@x", {{"comment, with comma", "a@x"}}},
      {"\"a\\\" b\" <q@x>", {{"a\" b", "q@x"}}},
      {"team: a@x, b@x;, c@x", {{"", "a@x"}, {"", "b@x"}, {"", "c@x"}}},
      {"a@x; b@x", {{"", "a@x"}, {"", "b@x"}}},
      {", ,a@x,,", {{"", "a@x"}}},
      {"Name <a@x", {{"Name", "a@x"}}},
      {"=?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <d@x>", {{"=?ISO-2022-JP?B?GyRCOzNFRBsoQg==?=", "d@x"}}},
      {"\"" + hyo + "\" <a@x>, <b@y>", {{hyo, "a@x"}, {"", "b@y"}}},
      {"\"" + hyo + "\\\"\" <a@x>, b@y", {{hyo + "\"", "a@x"}, {"", "b@y"}}},
      {"", {}},
      {" \t\r\n", {}},
      {"Taro\r\n <ta\rro@x>,\r\n\th@x", {{"Taro", "ta ro@x"}, {"", "h@x"}}},
  };
  for (const Case& c : cases) {
    Pairs got;
    for (const MailAddress& a : ParseAddressList(c.value)) got.emplace_back(a.name, a.address);
    EXPECT_EQ(got, c.parsed) << c.value;
  }
}

TEST(MailAddressText, QuotesNamesWithSpecialCharacters) {
  EXPECT_EQ((MailAddress{"", "a@x"}).Text(), "a@x");
  EXPECT_EQ((MailAddress{"Taro", "t@x"}).Text(), "Taro <t@x>");
  EXPECT_EQ((MailAddress{"Yamada, Taro", "t@x"}).Text(), "\"Yamada, Taro\" <t@x>");
  EXPECT_EQ((MailAddress{"a\" b", "q@x"}).Text(), "\"a\\\" b\" <q@x>");
  // What Text gives reads back as the same address.
  for (const MailAddress& a : {MailAddress{"a\" b", "q@x"}, MailAddress{"x (y) <z>", "w@x"}}) {
    const auto back = ParseAddressList(a.Text());
    ASSERT_EQ(back.size(), 1u) << a.Text();
    EXPECT_EQ(back[0].name, a.name);
    EXPECT_EQ(back[0].address, a.address);
  }
}

}  // namespace
}  // namespace plumex
