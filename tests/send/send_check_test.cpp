// The check before sending: recipients grouped into own and outside domains, the ticks the
// window asks for, the warnings.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "send/send_check.h"

namespace plumex {
namespace {

std::vector<std::string> Domains(const std::vector<SendCheck::DomainGroup>& groups) {
  std::vector<std::string> out;
  for (const auto& g : groups) out.push_back(g.domain);
  return out;
}

std::optional<std::uintmax_t> SizeFromName(const std::string& path) {
  if (path.find("missing") != std::string::npos) return std::nullopt;
  return path.size() * 1000;
}

struct GroupCase {
  const char* name;
  std::string to, cc, bcc;
  std::vector<std::string> own;
  std::vector<std::string> attachments;
  std::vector<std::string> internal, external;
  size_t ticks;
};

TEST(SendCheck, RecipientsAreGroupedByDomainWithTheirTicks) {
  const GroupCase cases[] = {
      {"own domain and a name under it, any case", "a@Example.JP, b@mail.example.jp", "", "", {"example.jp"}, {},
       {"example.jp", "mail.example.jp"}, {}, 0},
      {"a look-alike suffix is outside", "a@badexample.jp, b@example.jp.evil.example", "", "", {"example.jp"}, {},
       {}, {"badexample.jp", "example.jp.evil.example"}, 2},
      {"one tick per outside domain, not per address", "x@client.example, y@client.example", "z@CLIENT.example",
       "me@example.jp", {"example.jp"}, {}, {"example.jp"}, {"client.example"}, 1},
      {"user-added domains count as own", "\"山田\" <yamada@group.example>", "", "", {"example.jp", "@Group.Example"},
       {}, {"group.example"}, {}, 0},
      {"semicolons separate addresses too", "a@one.example; b@two.example", "", "", {"example.jp"}, {}, {},
       {"one.example", "two.example"}, 2},
      {"every attachment needs its tick", "a@example.jp", "", "", {"example.jp"}, {"/tmp/a.pdf", "/tmp/b.xlsx"},
       {"example.jp"}, {}, 2},
      {"no own domains: everything is outside", "a@example.jp", "", "b@example.jp", {}, {}, {}, {"example.jp"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SendCheckInput in;
    in.to = Utf8ToCp932(c.to);
    in.cc = c.cc;
    in.bcc = c.bcc;
    in.own_domains = c.own;
    in.attachments = c.attachments;
    const SendCheck check = BuildSendCheck(in, SizeFromName);
    EXPECT_EQ(Domains(check.internal), c.internal);
    EXPECT_EQ(Domains(check.external), c.external);
    EXPECT_EQ(check.RequiredTicks(), c.ticks);
  }
}

TEST(SendCheck, GroupsKeepEveryRecipientWithItsFieldAndAttachmentsTheirSizes) {
  SendCheckInput in;
  in.to = "x@client.example";
  in.cc = "y@client.example";
  in.bcc = "x@client.example";
  in.attachments = {"/tmp/見積.pdf", "/tmp/missing.txt"};
  in.attachments[0] = Utf8ToCp932(in.attachments[0]);
  const SendCheck check = BuildSendCheck(in, SizeFromName);
  ASSERT_EQ(check.external.size(), 1u);
  const auto& r = check.external[0].recipients;
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].field + r[1].field + r[2].field, "ToCcBcc");
  ASSERT_EQ(check.attachments.size(), 2u);
  EXPECT_EQ(Cp932ToUtf8(check.attachments[0].name), "見積.pdf");
  EXPECT_EQ(check.attachments[0].size, in.attachments[0].size() * 1000);
  EXPECT_FALSE(check.attachments[1].size);
}

TEST(SendCheck, WarnsAboutManyOutsideAddressesInToAndCcOnly) {
  auto warnings = [](const std::string& to, const std::string& cc, const std::string& bcc, int limit) {
    SendCheckInput in;
    in.to = to;
    in.cc = cc;
    in.bcc = bcc;
    in.own_domains = {"example.jp"};
    in.external_limit = limit;
    return BuildSendCheck(in, SizeFromName).warnings;
  };
  const std::string five = "a@x.example,b@x.example,c@y.example,d@y.example,e@z.example";
  EXPECT_TRUE(warnings(five, "", "", 5).empty());  // up to the limit: no warning
  EXPECT_TRUE(warnings(five, "", "f@z.example", 5).empty());  // Bcc is what it suggests
  EXPECT_TRUE(warnings(five, "me@example.jp", "", 5).empty());  // own addresses do not count
  const auto six = warnings(five, "f@z.example", "", 5);
  ASSERT_EQ(six.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(six[0]),
            "To/Ccに社外のあて先が6件あります（5件まで）。受信者同士にアドレスが見えるため、Bccにすることを検討してください。");
  EXPECT_EQ(warnings("a@x.example,b@x.example", "", "", 1).size(), 1u);  // the limit is settable
}

TEST(SendCheck, AReplyToADomainTheOriginalDidNotHoldIsWarned) {
  const std::vector<std::string> header = {Utf8ToCp932("あて名:me@example.jp"), "ReplyTo:",
                                           "CCList:\"Sato\" <sato@Partner.example>;",
                                           Utf8ToCp932("差出人:山田 <yamada@client.example>")};
  const auto original = DomainsOfStoredHeader(header);
  EXPECT_EQ(original, (std::vector<std::string>{"example.jp", "partner.example", "client.example"}));
  SendCheckInput in;
  in.to = "yamada@client.example, boss@clients.example";
  in.cc = "sato@partner.example, me@example.jp";
  in.own_domains = {"example.jp"};
  in.original_domains = original;
  const auto warnings = BuildSendCheck(in, SizeFromName).warnings;
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(warnings[0]), "返信元のメールに含まれていなかったドメインへ送ろうとしています: clients.example");
  in.original_domains.reset();  // a new message or a forward: no such warning
  EXPECT_TRUE(BuildSendCheck(in, SizeFromName).warnings.empty());
}

TEST(SendCheck, AMergeChecksEveryRowsRecipientsAndAttachments) {
  SendCheckInput in;
  in.merge = true;
  in.own_domains = {"example.jp"};
  in.merge_sheet = {"宛先,添付", "a@client.example,/tmp/a.pdf", "b@example.jp,/tmp/b.pdf;/tmp/a.pdf",
                    "c@other.example,/tmp/a.pdf"};
  in.cc = "%SS1%";
  in.attachments = {"%SS2%"};
  const SendCheck check = BuildSendCheck(in, SizeFromName);
  EXPECT_TRUE(check.merge);
  EXPECT_EQ(Domains(check.external), (std::vector<std::string>{"client.example", "other.example"}));
  EXPECT_EQ(Domains(check.internal), (std::vector<std::string>{"example.jp"}));
  ASSERT_EQ(check.attachments.size(), 2u);
  EXPECT_EQ(check.attachments[0].path, "/tmp/a.pdf");
  EXPECT_EQ(check.attachments[1].path, "/tmp/b.pdf");
  EXPECT_TRUE(check.warnings.empty());  // each row is a message of its own
}

TEST(SendCheck, SizesReadAsPeopleDo) {
  EXPECT_EQ(SizeText(0), "0 B");
  EXPECT_EQ(SizeText(1023), "1023 B");
  EXPECT_EQ(SizeText(1536), "1.5 KB");
  EXPECT_EQ(SizeText(5u * 1024 * 1024), "5.0 MB");
}

}  // namespace
}  // namespace plumex
