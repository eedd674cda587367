#include <gtest/gtest.h>

#include <set>

#include "text/sjis_text.h"
#include "send/key_value_lines.h"
#include "send/message_id.h"
#include "send/sent_folder.h"
#include "send/substitute_row.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(SubstituteRow, PlaceholdersByColumn) {
  struct Case {
    std::string text, row, expected;
  };
  const Case cases[] = {
      {"Dear %SS2%, %ss2%!", "a@x,Taro", "Dear Taro, Taro!"},
      {"%SS3% stays", "a@x,Taro", "%SS3% stays"},
      {"%SS1%", "a@x,,c", "a@x"},
      {"[%SS2%]", "a@x,,c", "[]"},                  // empty cells count
      {"%SS1%", "%SS2%,b", "b"},                    // a cell's higher placeholder is replaced in turn
      {"%SS2%", "a,%SS1%", "%SS1%"},                // a lower one is not searched again
      {"%SS10%", "1,2,3,4,5,6,7,8,9,ten", "ten"},   // %SS1% is not a prefix of %SS10%
  };
  for (const auto& c : cases) EXPECT_EQ(SubstituteRow(c.text, c.row), c.expected) << c.text << " / " << c.row;
}

TEST(KeyValueLines, FirstColonSplits) {
  std::vector<std::string> lines = {"Host:smtp.x", "Port:587", "Empty:", "Time:12:30"};
  EXPECT_EQ(ValueOf(lines, "Host"), "smtp.x");
  EXPECT_EQ(ValueOf(lines, "Time"), "12:30");
  EXPECT_EQ(ValueOf(lines, "Missing"), "");
  EXPECT_TRUE(HasKey(lines, "Empty"));
  EXPECT_FALSE(HasKey(lines, "host"));
}

TEST(MessageIds, UniqueInTheSameSecondAndShapedAsBefore) {
  LocalDateTime t{2024, 3, 5, 10, 20, 30};
  EXPECT_EQ(SenderDomain("me@example.jp"), "@example.jp");
  EXPECT_EQ(SenderDomain("\"Me\" <me@example.jp>"), "@example.jp");
  EXPECT_EQ(SenderDomain("nodomain"), "nodomain");
  std::set<std::string> ids;
  for (int i = 0; i < 100; ++i) {
    std::string id = NewMessageId(t, "@example.jp");
    EXPECT_EQ(id.rfind("<20240305_102030", 0), 0u) << id;
    EXPECT_EQ(id.substr(id.size() - 12), "@example.jp>");
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 100u);
  EXPECT_EQ(MergeRowMessageId(t, 12, "@x").rfind("<20240305_10203012", 0), 0u);
}

TEST(SentFolder, FirstMatchingSendRule) {
  test::TempDir dir;
  std::vector<std::string> rules = {Sjis("件名") + "\t" + Sjis("請求") + "\t" + Sjis("経理"),
                                    Sjis("あて名") + "\t@client.jp\t" + Sjis("顧客") + "\\A"};
  EXPECT_EQ(ChooseSentFolder(dir.path(), rules, Sjis("請求書"), "x@client.jp"), Sjis("送信\\経理\\"));
  EXPECT_EQ(ChooseSentFolder(dir.path(), rules, "hello", "x@client.jp"), Sjis("送信\\顧客\\A\\"));
  EXPECT_TRUE(DirectoryExists(ToNativePath(dir.path(), Sjis("送信\\顧客\\A\\"))));
  EXPECT_EQ(ChooseSentFolder(dir.path(), rules, "hello", "x@other.jp"), Sjis("送信\\"));
}

}  // namespace
}  // namespace plumex
