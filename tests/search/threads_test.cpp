// Conversations: thread trees for a table of folders.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "search/threads.h"

namespace plumex {
namespace {

struct Folder {
  const char* name;
  std::vector<ThreadMessage> messages;  // UTF-8 subjects, turned into CP932 below
  std::string tree;                      // per line: indent, subject; "|" between conversations
};

ThreadMessage M(const char* id, const char* subject, const char* date, const char* references = "",
                const char* in_reply_to = "") {
  return {id, in_reply_to, references, Utf8ToCp932(subject), date};
}

std::string Tree(const std::vector<ThreadMessage>& messages, const std::vector<ThreadLine>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].depth == 0 && i > 0) out += "|";
    out += std::string(static_cast<size_t>(lines[i].depth) * 2, ' ') + Cp932ToUtf8(messages[lines[i].message].subject) + ";";
  }
  return out;
}

TEST(ThreadsTest, TreesOfFolders) {
  const std::vector<Folder> folders = {
      {"replies by References, depth first, replies in date order",
       {M("<a>", "計画", "2024/01/01_10:00:00"), M("<c>", "Re: 計画 2", "2024/01/03_10:00:00", "<a>"),
        M("<b>", "Re: 計画 1", "2024/01/02_10:00:00", "<a>"), M("<d>", "Re: Re: 計画 1", "2024/01/04_10:00:00", "<a> <b>")},
       "計画;  Re: 計画 1;    Re: Re: 計画 1;  Re: 計画 2;"},
      {"In-Reply-To alone",
       {M("<a>", "質問", "2024/01/01_10:00:00"), M("<b>", "回答", "2024/01/02_10:00:00", "", "<a>")},
       "質問;  回答;"},
      {"a missing parent: the nearest ancestor present",
       {M("<a>", "元", "2024/01/01_10:00:00"), M("<c>", "孫", "2024/01/03_10:00:00", "<a> <gone>")},
       "元;  孫;"},
      {"a missing parent and no ancestor: a conversation of its own",
       {M("<c>", "Re: 孤児", "2024/01/03_10:00:00", "<gone>"), M("<d>", "Re: 孤児", "2024/01/04_10:00:00", "<c>")},
       "Re: 孤児;  Re: 孤児;"},
      {"a loop of references",
       {M("<a>", "甲", "2024/01/01_10:00:00", "<b>"), M("<b>", "乙", "2024/01/02_10:00:00", "<a>")},
       "甲;  乙;"},
      {"a message naming itself",
       {M("<a>", "自分", "2024/01/01_10:00:00", "<a>")},
       "自分;"},
      {"no references: the subject without its prefixes, full-width colons too",
       {M("<a>", "会議の件", "2024/01/01_10:00:00"), M("<b>", "Re: 会議の件", "2024/01/02_10:00:00"),
        M("<c>", "RE：会議の件", "2024/01/03_10:00:00"), M("<d>", "返信: 会議の件", "2024/01/04_10:00:00"),
        M("<e>", "Fw: 会議の件", "2024/01/05_10:00:00"), M("<f>", "転送：Re: 会議の件", "2024/01/06_10:00:00"),
        M("<g>", "会議の件", "2024/01/07_10:00:00")},
       "会議の件;  Re: 会議の件;  RE：会議の件;  返信: 会議の件;  Fw: 会議の件;  転送：Re: 会議の件;|会議の件;"},
      {"the newest message places the conversation",
       {M("<a>", "古い話", "2024/01/01_10:00:00"), M("<b>", "中くらい", "2024/01/05_10:00:00"),
        M("<c>", "Re: 古い話", "2024/01/09_10:00:00", "<a>")},
       "中くらい;|古い話;  Re: 古い話;"},
  };
  for (const Folder& f : folders)
    EXPECT_EQ(Tree(f.messages, BuildThreads(f.messages)), f.tree) << f.name;
}

TEST(ThreadsTest, SubjectPrefixes) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"Re: 件", "件"},         {"RE：件", "件"},  {"返信: 件", "件"}, {"Fw: 件", "件"},   {"転送: 件", "件"},
      {"Fwd: Re: 件", "件"},    {"re[2]: 件", "件"}, {"Re^3: 件", "件"}, {"　Re:件", "件"}, {"Reply: 件", "Reply: 件"},
      {"件名: Re: 件", "件名: Re: 件"}, {"Re:", ""},
  };
  for (const auto& [subject, key] : cases) EXPECT_EQ(Cp932ToUtf8(ThreadSubject(Utf8ToCp932(subject))), key) << subject;
}

TEST(ThreadsTest, ReferencedIds) {
  EXPECT_EQ(ReferencedIds("<a@x> <b@x>\t<c@x>"), (std::vector<std::string>{"<a@x>", "<b@x>", "<c@x>"}));
  EXPECT_EQ(ReferencedIds("a@x b@x"), (std::vector<std::string>{"a@x", "b@x"}));
  EXPECT_TRUE(ReferencedIds("").empty());
}

}  // namespace
}  // namespace plumex
