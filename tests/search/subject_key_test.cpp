// SubjectKey: the text after the last ":" once leading blanks and control characters are gone.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "search/subject_key.h"

namespace plumex {
namespace {

TEST(SubjectKeyTest, TextAfterTheLastColon) {
  const struct {
    const char* subject;  // UTF-8
    const char* key;
  } cases[] = {
      {"会議の件", "会議の件"},            // no colon: its own key
      {"Re: 会議の件", "会議の件"},         // the blank after the colon goes too
      {"Re: Re: 会議の件", "会議の件"},
      {"Fw: 会議の件", "会議の件"},
      {"RE:FW:会議", "会議"},
      {"転送: 会議", "会議"},
      {"返信:会議", "会議"},
      {"Re: [ml:123] 議事録", "123] 議事録"},  // any colon counts, not only a prefix's
      {"  \t\x01Re: x", "x"},             // leading blanks and control characters go first
      {"   plain", "plain"},
      // Ends the loop that dropped p bytes after the prefixes: texts that are all colons or
      // end in one have an empty key.
      {":", ""},
      {"::::", ""},
      {"Re:", ""},
      {"ソ:表", "表"},  // "ソ" ends in the byte 0x5C, which is no colon
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Cp932ToUtf8(SubjectKey(Utf8ToCp932(c.subject))), c.key) << c.subject;
}

TEST(SubjectKeyTest, RepliesAndForwardsShareAKeyWithTheOriginal) {
  const std::string x = Utf8ToCp932("見積もり");
  EXPECT_EQ(SubjectKey("Re: " + x), SubjectKey("Fw: " + x));
  EXPECT_EQ(SubjectKey("Re: " + x), SubjectKey("Re: Re: " + x));
  EXPECT_EQ(SubjectKey("Re: " + x), SubjectKey(x));  // the original is in its own thread
}

}  // namespace
}  // namespace plumex
