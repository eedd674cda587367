#include "receive/message_rules.h"

#include <gtest/gtest.h>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/store_layout.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

std::string Rule(const char* field, const std::string& keyword, const std::string& target) {
  return Sjis(field) + "\t" + keyword + "\t" + target;
}

TEST(MessageRules, FirstMatchingRuleDecides) {
  const std::string account = Sjis("仕事");
  RuleList rules({Rule("あて名", "x", "a"), Rule("件名", Sjis("会議"), account + "\\" + Sjis("会議")),
                  Rule("件名", Sjis("会議"), Sjis("削除")), Rule("差出人", "spam@", Sjis("削除")),
                  Rule("件名", "", "never")});
  struct Case {
    std::string subject, from;
    std::optional<std::string> target;
  };
  const Case cases[] = {
      {Sjis("定例会議のお知らせ"), "a@x", account + "\\" + Sjis("会議")},
      {"hello", "spam@example.jp", Sjis("削除")},
      {"x", "x", std::nullopt},                 // "あて名" is not a field rules test
      {"SPAM@", "SPAM@x", std::nullopt},         // case-sensitive
      {"\x83\x41", "b", std::nullopt},          // no match inside a character
  };
  for (const auto& c : cases) EXPECT_EQ(rules.FirstMatch(c.subject, c.from), c.target) << c.subject;
  EXPECT_FALSE(RuleList({Rule("件名", "a b", "t")}).FirstMatch("ab", ""));
}

TEST(MessageRules, ChooseTargetFolder) {
  test::TempDir dir;
  RuleContext context{dir.path(), AccountFolderPath("acc"), "acc", false};
  RuleList rules({Rule("件名", "move", "acc\\sub\\deep"), Rule("件名", "drop", Sjis("削除"))});

  auto moved = ChooseTargetFolder(rules, context, "please move", "");
  EXPECT_EQ(moved.kind, TargetFolder::Kind::Moved);
  EXPECT_EQ(moved.folder_path, Sjis("受信") + "\\acc\\sub\\deep\\");
  EXPECT_TRUE(DirectoryExists(ToNativePath(dir.path(), moved.folder_path)));

  EXPECT_EQ(ChooseTargetFolder(rules, context, "drop it", "").kind, TargetFolder::Kind::Rejected);
  auto plain = ChooseTargetFolder(rules, context, "hello", "");
  EXPECT_EQ(plain.kind, TargetFolder::Kind::OnScreen);
  EXPECT_EQ(plain.folder_path, context.current_folder_path);

  context.forwarding = true;  // no rule applies to mail the new-mail check forwards
  auto forwarded = ChooseTargetFolder(rules, context, "drop it", "");
  EXPECT_EQ(forwarded.kind, TargetFolder::Kind::Forwarded);
  EXPECT_EQ(forwarded.folder_path, AccountFolderPath("acc"));
}

class ApplyRules : public ::testing::Test {
 protected:
  std::filesystem::path Here() const { return ToNativePath(dir.path(), context.current_folder_path); }
  std::filesystem::path Sub() const { return ToNativePath(dir.path(), AccountFolderPath("acc") + "sub\\"); }
  std::string Row(const std::string& id, const std::string& subject) const {
    return id + "\t" + subject + "\tfrom@x\t2009/09/08_12:34:56\t10\t1\t1\t2";
  }
  void AddMessage(FolderIndex& index, const std::string& id, const std::string& subject) {
    index.Add(Row(id, subject));
    std::string key = "0" + id.substr(1, id.size() - 2) + "9";
    WriteLines(Here() / (key + ".txt"), {"body"});
    EnsureDirectory(Here() / "Attachment" / key);
    WriteLines(Here() / "Attachment" / key / "a.txt", {"att"});
  }

  test::TempDir dir;
  RuleContext context{dir.path(), AccountFolderPath("acc"), "acc", false};
};

TEST_F(ApplyRules, MovesAndRejectsWithAttachments) {
  EnsureDirectory(Here());
  FolderIndex index;
  ReceivedIdList ids;
  AddMessage(index, "<m@x>", "move me");
  AddMessage(index, "<d@x>", "drop me");
  AddMessage(index, "<k@x>", "keep me");
  for (auto id : {"<m@x>", "<d@x>", "<k@x>"}) ids.Add(id);
  RuleList rules({Rule("件名", "move", "acc\\sub"), Rule("件名", "drop", Sjis("削除"))});

  ApplyRulesToFolder(rules, context, index, ids);

  EXPECT_EQ(index.Rows().Lines(), std::vector<std::string>{Row("<k@x>", "keep me")});
  std::vector<std::string> written;
  ReadLines(Here() / "MsgID.ini", written);
  EXPECT_EQ(written, index.Rows().Lines());
  EXPECT_FALSE(FileExists(Here() / "0d@x9.txt"));
  EXPECT_FALSE(DirectoryExists(Here() / "Attachment" / "0d@x9"));
  EXPECT_FALSE(ids.Contains("<d@x>"));  // fetched again while still on the server
  EXPECT_TRUE(ids.Contains("<m@x>"));
  EXPECT_TRUE(FileExists(Sub() / "0m@x9.txt"));
  EXPECT_TRUE(FileExists(Sub() / "Attachment" / "0m@x9" / "a.txt"));
  std::vector<std::string> sub_rows;
  ReadLines(Sub() / "MsgID.ini", sub_rows);
  EXPECT_EQ(sub_rows, std::vector<std::string>{Row("<m@x>", "move me")});

  // A second run moves nothing more.
  ApplyRulesToFolder(rules, context, index, ids);
  ReadLines(Sub() / "MsgID.ini", sub_rows);
  EXPECT_EQ(sub_rows.size(), 1u);
}

TEST_F(ApplyRules, AMessageWhoseNameIsTakenInTheTargetStaysListed) {
  EnsureDirectory(Here());
  EnsureDirectory(Sub());
  WriteLines(Sub() / "0m@x9.txt", {"other"});
  FolderIndex index;
  ReceivedIdList ids;
  AddMessage(index, "<m@x>", "move me");
  const RulesApplied applied = ApplyRulesToFolder(RuleList({Rule("件名", "move", "acc\\sub")}), context, index, ids);
  EXPECT_EQ(index.Size(), 1u);
  EXPECT_TRUE(FileExists(Here() / "0m@x9.txt"));
  EXPECT_EQ(*ReadFileBytes(Sub() / "0m@x9.txt"), "other\r\n");
  ASSERT_EQ(applied.failed.size(), 1u);
  EXPECT_NE(RulesFailureText(applied).find(Sjis("件名『move me』")), std::string::npos);
}

// A row moves only with its file: when the files cannot go (the target's attachment folder is
// a file in the way) the row stays listed here, the target lists nothing, and it is reported.
TEST_F(ApplyRules, ARowWhoseFilesCannotMoveStaysAndIsReported) {
  EnsureDirectory(Here());
  EnsureDirectory(Sub());
  WriteLines(Sub() / "Attachment", {"in the way"});
  FolderIndex index;
  ReceivedIdList ids;
  AddMessage(index, "<m@x>", "move me");
  AddMessage(index, "<d@x>", "drop me");
  const RuleList rules({Rule("件名", "move", "acc\\sub"), Rule("件名", "drop", Sjis("削除"))});
  EXPECT_TRUE(RulesDeleteMail(rules, index));
  EXPECT_FALSE(RulesDeleteMail(RuleList({Rule("件名", "move", "acc\\sub")}), index));
  const RulesApplied applied = ApplyRulesToFolder(rules, context, index, ids);
  EXPECT_EQ(applied.moved, 0u);
  EXPECT_EQ(applied.deleted, 1u);
  ASSERT_EQ(applied.failed.size(), 1u);
  EXPECT_EQ(index.Rows().Lines(), std::vector<std::string>{Row("<m@x>", "move me")});
  EXPECT_TRUE(FileExists(Here() / "0m@x9.txt"));
  std::vector<std::string> sub_rows;
  ReadLines(Sub() / "MsgID.ini", sub_rows);
  EXPECT_TRUE(sub_rows.empty());
}

}  // namespace
}  // namespace plumex
