// In-Reply-To and References of replies and forwards, and how a draft keeps them.
#include <gtest/gtest.h>

#include "send/threading.h"

namespace plumex {
namespace {

TEST(Threading, RepliesCarryTheChainAndTheRepliedId) {
  struct Case {
    const char* name;
    std::string id, references, in_reply_to;
    bool reply;
    Threading expected;
  } cases[] = {
      {"first reply", "<p@x>", "", "", true, {"<p@x>", "<p@x>"}},
      {"parent's chain kept, its id added", "<p@x>", "<a@x> <b@x>", "", true, {"<p@x>", "<a@x> <b@x> <p@x>"}},
      {"folded and commented chain", "<p@x>", "<a@x>\r\n\t(c) <b@x>", "", true, {"<p@x>", "<a@x> <b@x> <p@x>"}},
      {"no References: the parent's single In-Reply-To starts it", "<p@x>", "", "<a@x>", true,
       {"<p@x>", "<a@x> <p@x>"}},
      {"In-Reply-To with two ids is not taken", "<p@x>", "", "<a@x> <b@x>", true, {"<p@x>", "<p@x>"}},
      {"the parent's id never twice", "<p@x>", "<a@x> <p@x>", "", true, {"<p@x>", "<a@x> <p@x>"}},
      {"forward: References only", "<p@x>", "<a@x>", "", false, {"", "<a@x> <p@x>"}},
      {"parent without id: nothing", "", "<a@x>", "", true, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ThreadingOf(c.id, c.references, c.in_reply_to, c.reply), c.expected) << c.name;
}

TEST(Threading, TheLastIdIsTheRepliedMessage) {
  EXPECT_EQ(LastMessageId("<a@x> <b@x> <p@x>"), "<p@x>");
  EXPECT_EQ(WithoutLastMessageId("<a@x> <b@x> <p@x>"), "<a@x> <b@x>");
  EXPECT_EQ(LastMessageId(""), "");
  EXPECT_EQ(WithoutLastMessageId("<p@x>"), "");
}

}  // namespace
}  // namespace plumex
