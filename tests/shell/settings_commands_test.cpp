// The settings dialog's commands without a window: the rule tabs edit the live lists that the
// next receive run reads, files change on "登録" only, rules applied to the folder on screen,
// the rule trees and the new-mail tab's "実行".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/sjis_text.h"
#include "shell/app_core.h"
#include "store/file_key.h"
#include "tests/protocol/fake_server.h"
#include "tests/shell/shell_fixture.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }

class SettingsCommandsTest : public ::testing::Test, public test::StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;

  // Account "acc" (POP3 on `port`) with the folders "仕事" and "仕事/週報", a second account
  // "私用", and two messages in acc's inbox.
  void Start(int port = 1) {
    WriteUtf8Lines("Account.ini", {"acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(port) + "\t25\t0",
                                   "私用\t127.0.0.1\tme\tpw\tsmtp\tme@x\t1\t25\t0"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=acc"});
    WriteRaw("受信/acc/MsgID.ini",
             {test::Row("<m1@x>", "会議の件", "taro@x", "2009/09/08_12:00:00", "10", "2", "1"),
              test::Row("<m2@x>", "雑談", "hanako@x", "2009/09/07_12:00:00", "10", "2", "1")});
    WriteUtf8Lines("受信/acc/" + MakeFileKey("<m1@x>") + ".txt", {"差出人:taro@x", "-------------------", "本文"});
    WriteUtf8Lines("受信/acc/仕事/週報/MsgID.ini", {});
    WriteUtf8Lines("受信/私用/仕事/MsgID.ini", {});
    core = std::make_unique<AppCore>(ui, root());
    core->Start();
  }
  SettingsCommands& Settings() { return core->Settings(); }
  FolderNode* RuleFolder(const std::string& utf8_path) {
    return Settings().ReceiveRuleTree().FindByPath(S(utf8_path));
  }
};

TEST_F(SettingsCommandsTest, RuleTargetsComeFromTheRuleTreeBelowItsRoot) {
  Start();
  SettingsCommands& s = Settings();
  const std::string field = S("件名"), keyword = S("会議");
  ASSERT_TRUE(RuleFolder("受信\\acc\\仕事\\週報\\"));
  EXPECT_EQ(s.ReceiveRuleLine(field, keyword, false, RuleFolder("受信\\acc\\仕事\\週報\\")),
            field + "\t" + keyword + "\t" + S("acc\\仕事\\週報"));
  EXPECT_EQ(s.ReceiveRuleLine(field, keyword, false, RuleFolder("受信\\acc\\")), field + "\t" + keyword + "\tacc");
  // The root would file mail in a bogus account folder named after it: refused.
  EXPECT_EQ(s.ReceiveRuleLine(field, keyword, false, RuleFolder("受信\\")), std::nullopt);
  EXPECT_EQ(s.ReceiveRuleLine(field, keyword, false, nullptr), std::nullopt);
  // A rejecting rule needs no folder, nor a keyword.
  EXPECT_EQ(s.ReceiveRuleLine(field, "", true, nullptr), field + "\t\t" + S("削除"));
  // Send rules: below the root "送信".
  core->Shell().SendTree().Add(core->Shell().SendTree().Top(0), S("後で"));
  EXPECT_EQ(s.SendRuleTree().FindByPath(S("送信\\後で\\")), nullptr);  // copied at start-up only
  EXPECT_EQ(s.SendRuleLine(S("あて名"), "boss", s.SendRuleTree().Top(0)), std::nullopt);
}

// Choosing a rule finds its folder walking the tree in order from below the root, a match
// going on with its first child.
TEST_F(SettingsCommandsTest, ChoosingARuleFindsItsFolder) {
  Start();
  const FolderTree& tree = Settings().ReceiveRuleTree();
  const std::pair<const char*, const char*> cases[] = {
      {"acc\\仕事\\週報", "受信\\acc\\仕事\\週報\\"},
      {"acc", "受信\\acc\\"},
      {"私用\\仕事", "受信\\私用\\仕事\\"},
      {"acc\\ない", "受信\\acc\\"},      // the last name found stays chosen
      {"仕事", "受信\\acc\\仕事\\"},     // the walk finds the first folder of that name
  };
  for (const auto& [target, path] : cases)
    EXPECT_EQ(FindRuleFolder(tree, S(target)), tree.FindByPath(S(path))) << target;
  EXPECT_EQ(FindRuleFolder(tree, S("ない")), nullptr);
  const RuleLine three = ParseRuleLine(S("件名\tx\tacc"));
  EXPECT_EQ(three.target, "acc");
  EXPECT_TRUE(three.complete);
  EXPECT_FALSE(ParseRuleLine(S("件名\tx")).complete);
  EXPECT_FALSE(ParseRuleLine(S("件名\tx\tacc\textra")).complete);
}

TEST_F(SettingsCommandsTest, TheRulesTabSuggestsTheChosenMessagesSenderThenSubject) {
  Start();
  EXPECT_TRUE(Settings().OpenRulesTab().empty());
  core->Shell().List().SetSelection({1, 0});
  EXPECT_THAT(Settings().OpenRulesTab(), ::testing::ElementsAre("taro@x", S("会議の件")));
}

// Edits live in memory at once; only "登録" writes the file.
TEST_F(SettingsCommandsTest, RuleFilesAreWrittenOnRegisterOnly) {
  Start();
  SettingsCommands& s = Settings();
  const std::string rule = S("件名\t会議\tacc\\仕事");
  EXPECT_TRUE(s.AddReceiveRule(rule));
  EXPECT_TRUE(s.AddSendRule(S("件名\t会議\t後で")));
  s.DeleteCandidate(0);  // nothing there: nothing happens
  EXPECT_EQ(core->ReceiveRules().Lines(), std::vector<std::string>{rule});
  EXPECT_FALSE(std::filesystem::exists(At("rule.ini")));
  EXPECT_FALSE(std::filesystem::exists(At("rule2.ini")));
  EXPECT_TRUE(s.ReceiveRulesUnregistered());
  s.RegisterReceiveRules();
  EXPECT_FALSE(s.ReceiveRulesUnregistered());
  EXPECT_EQ(ReadText("rule.ini"), rule + "\r\n");
  EXPECT_FALSE(std::filesystem::exists(At("rule2.ini")));
  s.DeleteReceiveRule(0);
  EXPECT_EQ(ReadText("rule.ini"), rule + "\r\n");
  s.RegisterSendRules();
  EXPECT_EQ(ReadText("rule2.ini"), S("件名\t会議\t後で") + "\r\n");
  // The deletion candidates: NoDomain.ini was made empty at start-up.
  EXPECT_EQ(ReadText("NoDomain.ini"), "");
  core->Candidates().Hosts() = {"a.example.jp", "b.example.jp"};
  s.DeleteCandidate(0);
  EXPECT_EQ(ReadText("NoDomain.ini"), "");
  s.RegisterCandidates();
  EXPECT_EQ(ReadText("NoDomain.ini"), "b.example.jp\r\n");
}

// A rule added in the dialog and not registered moves the next message received.
TEST_F(SettingsCommandsTest, TheNextReceiveUsesTheLiveRules) {
  const std::string message = "Message-ID: <new@x>\r\nFrom: a@x\r\nSubject: report\r\n"
                              "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n";
  FakeServer server({{"", "+OK ready\r\n"},
                     {"CAPA", "+OK\r\nUSER\r\nTOP\r\n.\r\n"},
                     {"USER me", "+OK\r\n"},
                     {"PASS pw", "+OK\r\n"},
                     {"STAT", "+OK 1 100\r\n"},
                     {"LIST", "+OK\r\n1 100\r\n.\r\n"},
                     {"TOP 1 0", "+OK\r\n" + message.substr(0, message.find("\r\n\r\n") + 4) + ".\r\n"},
                     {"RETR 1", "+OK\r\n" + message + ".\r\n"}});
  Start(server.port());
  ASSERT_TRUE(Settings().AddReceiveRule(S("件名\trep\tacc\\仕事\\週報")));
  const ReceiveResult result = core->Receiving().Receive();
  server.Join();
  EXPECT_EQ(result.new_count, 1);
  EXPECT_FALSE(std::filesystem::exists(At("rule.ini")));
  EXPECT_THAT(ReadText("受信/acc/仕事/週報/MsgID.ini"), ::testing::HasSubstr("<new@x>"));
  EXPECT_TRUE(std::filesystem::exists(At("受信/acc/仕事/週報/" + MakeFileKey("<new@x>") + ".txt")));
  EXPECT_EQ(core->State().CurrentIndex.Size(), 2u);
}

TEST_F(SettingsCommandsTest, ApplyingRulesAsksThenMovesAndSaysDone) {
  Start();
  ASSERT_TRUE(Settings().AddReceiveRule(S("件名\t会議\tacc\\仕事")));
  ui.answers = {MsgAnswer::Cancel};
  EXPECT_FALSE(Settings().ApplyRulesToCurrentFolder());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "現在のフォルダ【受信\\acc\\】\r\n内のメールを登録されたルールにしたがって\r\n指定したフォルダへ移動します。"
            "\r\n\r\n   よろしいですか？");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Warning);
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(core->State().CurrentIndex.Size(), 2u);
  ui.messages.clear();
  ui.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(Settings().ApplyRulesToCurrentFolder());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "完了");
  EXPECT_EQ(core->State().CurrentIndex.Size(), 1u);
  EXPECT_EQ(core->Shell().List().Count(), 1u);
  EXPECT_THAT(ReadText("受信/acc/仕事/MsgID.ini"), ::testing::HasSubstr("<m1@x>"));
  EXPECT_TRUE(std::filesystem::exists(At("受信/acc/仕事/" + MakeFileKey("<m1@x>") + ".txt")));

  // A reject rule that matches stored mail: the question names deleting too.
  ASSERT_TRUE(Settings().AddReceiveRule(S("件名\t雑談\t削除")));
  ui.messages.clear();
  ui.answers = {MsgAnswer::No};
  EXPECT_FALSE(Settings().ApplyRulesToCurrentFolder());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0].text, ::testing::HasSubstr("移動します。\r\n「削除」のルールに合うメールは削除します（元に戻せません）。\r\n\r\n"));
  EXPECT_EQ(core->State().CurrentIndex.Size(), 1u);
}

TEST_F(SettingsCommandsTest, RunForgetsForwardedMailAndSetsTheStartFlag) {
  WriteUtf8Lines("New.ini", {"[Start]", "chkNew=1"});
  Start();
  EXPECT_TRUE(Settings().StartFlag());  // "起動時に新着チェックをする"
  Settings().CloseNewCheckTab();
  EXPECT_FALSE(Settings().StartFlag());
  WriteUtf8Lines("ForwardSL.ini", {"id"});
  core->NewCheck().interval = "5";
  EXPECT_EQ(Settings().RunNewCheck(), NewCheckProblem::Focus::Interval);
  EXPECT_TRUE(std::filesystem::exists(At("ForwardSL.ini")));
  EXPECT_FALSE(Settings().StartFlag());
  core->NewCheck().interval = "60";
  EXPECT_EQ(Settings().RunNewCheck(), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(At("ForwardSL.ini")));
  EXPECT_TRUE(Settings().StartFlag());
  // "保存" writes New.ini; nothing else is said.
  ui.messages.clear();
  EXPECT_EQ(Settings().SaveNewCheck(), std::nullopt);
  EXPECT_THAT(ReadText("New.ini"), ::testing::HasSubstr("CmbInterval=60\r\n"));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace plumex
