// The HTML view's decisions: which "cid:" pictures come from the message's own parts, and what a
// person is asked before a link opens (its real address; a warning for a deceptive one).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "shell/html_link.h"
#include "shell/inline_parts.h"
#include "shell/link_domain.h"
#include "tests/support/fake_ui.h"

namespace plumex {
namespace {

TEST(LinkDomain, TextThatShowsAnotherDomain) {
  const struct {
    const char* text;
    const char* address;
    bool deceptive;
  } cases[] = {
      {"こちら", "https://evil.example/x", false},                              // no domain shown
      {"click here", "https://evil.example/x", false},
      {"https://bank.example/login", "https://bank.example/login", false},
      {"www.bank.example", "https://bank.example/", false},                    // "www." aside
      {"bank.example", "https://login.bank.example/", false},                  // a subdomain of it
      {"https://BANK.example", "http://bank.EXAMPLE:8080/", false},              // case and port aside
      {"https://bank.example/login", "https://evil.example/bank.example", true},
      {"bank.example", "https://bank.example.evil.example/", true},
      {" www.bank.example ", "https://user@evil.example/", true},
      {"bank.example", "javascript:alert(1)", true},                            // no host at all
      {"version 1.5", "https://evil.example/", false},                          // no domain in it
      {"v2.0", "https://evil.example/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ShowsAnotherDomain(c.text, c.address), c.deceptive) << c.text << " " << c.address;
  EXPECT_EQ(HostOfAddress("https://a:b@Host.Example:443/p?q"), "host.example");
  EXPECT_EQ(HostOfAddress("mailto:a@x"), std::nullopt);
}

TEST(HtmlLink, OpensOnlyWebLinksAndOnlyAfterTheQuestion) {
  test::FakeUi ui;
  ui.answers = {MsgAnswer::No};
  EXPECT_FALSE(OpenHtmlLink(ui, "https://bank.example/", "bank.example"));
  EXPECT_TRUE(ui.opened_urls.empty());
  EXPECT_EQ(ui.messages.back().icon, MsgIcon::Question);
  EXPECT_EQ(ui.messages.back().text,
            "次のリンク先をブラウザで開きます。\r\n\r\nhttps://bank.example/\r\n\r\nよろしいですか？");

  ui.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(OpenHtmlLink(ui, "https://evil.example/", "https://bank.example"));
  EXPECT_THAT(ui.opened_urls, ::testing::ElementsAre("https://evil.example/"));
  EXPECT_EQ(ui.messages.back().icon, MsgIcon::Warning);
  EXPECT_EQ(ui.messages.back().text.rfind("注意：リンクの文字は「bank.example」を示していますが、実際のリンク先は「evil.example」です。", 0), 0u)
      << ui.messages.back().text;

  for (const char* refused : {"javascript:alert(1)", "file:///etc/passwd", "relative/page.html"}) {
    ui.messages.clear();
    EXPECT_FALSE(OpenHtmlLink(ui, refused, "x"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, std::string("このリンクは開けません。\r\n") + refused);
  }
  EXPECT_EQ(ui.opened_urls.size(), 1u);
  EXPECT_EQ(KindOfLink("MAILTO:a@x"), HtmlLinkKind::Mail);
}

TEST(InlineParts, PicturesComeFromTheMessagesOwnParts) {
  ViewerContent v;
  v.attachment_dir = "/store/Attachment/key";
  v.attachments = {"logo.png", "image001.png", "photo.jpg"};
  v.header_text = "Message-ID:<m@x>\r\nContent-ID:<ii_abc@mail>\tlogo.png\r\nContent-ID:<gone@x>\t../../secret\r\n-------------------\r\n";
  const struct {
    const char* address;
    const char* file;  // empty: none
  } cases[] = {
      {"cid:ii_abc@mail", "logo.png"},               // by its Content-ID line
      {"CID:%3Cii_abc@mail%3E", "logo.png"},         // brackets and escapes read
      {"cid:image001.png@01D9ABCD.12345670", "image001.png"},  // named like the id's first part
      {"cid:photo.jpg", "photo.jpg"},                // named like the id
      {"cid:gone@x", ""},                            // a name outside the list leads nowhere
      {"cid:unknown@x", ""},
      {"https://tracker.example/logo.png", ""},      // nothing remote
      {"file:///store/Attachment/key/logo.png", ""},
  };
  for (const auto& c : cases) {
    const auto file = InlinePartFile(v, c.address);
    if (*c.file) EXPECT_EQ(file, v.attachment_dir / c.file) << c.address;
    else EXPECT_EQ(file, std::nullopt) << c.address;
  }
}

}  // namespace
}  // namespace plumex
