// The files of the settings dialog (New.ini, NoDomain.ini, ForwardSL.ini) and the rule lines
// its rule tabs write.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "settings/deletion_candidates.h"
#include "settings/forward_sent_list.h"
#include "settings/new_check_settings.h"
#include "settings/rule_lines.h"
#include "settings/send_rule_list.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

TEST(NewCheckSettings, MissingFileGivesTheDefaults) {
  test::TempDir dir;
  const NewCheckSettings s = NewCheckSettings::Load(dir.path());
  EXPECT_EQ(s.interval, "30");
  EXPECT_FALSE(s.receive_all);  // "新着は受信せず、基本情報のみ表示するだけ..." chosen
  EXPECT_EQ(s.receive_account, "");
  EXPECT_FALSE(s.forward);
  EXPECT_EQ(s.forward_address, "");
  EXPECT_FALSE(s.check_at_start);
}

TEST(NewCheckSettings, SavesTheSevenKeysAndReadsThemBack) {
  test::TempDir dir;
  NewCheckSettings s;
  s.interval = "120";
  s.receive_all = true;
  s.receive_account = Sjis("仕事");
  s.forward = true;
  s.forward_address = "a@b.jp";
  s.check_at_start = true;
  s.Save(dir.path());
  EXPECT_EQ(U(*ReadFileBytes(dir.path() / "New.ini")),
            "[interval]\r\nCmbInterval=120\r\n\r\n[receive]\r\nRadioButton5=0\r\nRadioButton4=1\r\n\r\n"
            "[receiveMailAccount]\r\nCmbReceiveMailAccount=仕事\r\n\r\n[forward]\r\nChkForward=1\r\n\r\n"
            "[forwardMailAccount]\r\nEdit1=a@b.jp\r\n\r\n[Start]\r\nchkNew=1\r\n\r\n");
  const NewCheckSettings back = NewCheckSettings::Load(dir.path());
  EXPECT_EQ(back.interval, "120");
  EXPECT_TRUE(back.receive_all);
  EXPECT_EQ(back.receive_account, Sjis("仕事"));
  EXPECT_TRUE(back.forward && back.check_at_start);
  EXPECT_EQ(back.forward_address, "a@b.jp");
}

// Any integer other than 0 is on; text that is no integer gives the default.
TEST(NewCheckSettings, BooleansReadAsTheProfileRuleSays) {
  test::TempDir dir;
  WriteLines(dir.path() / "New.ini", {"[forward]", "ChkForward=-1", "[Start]", "chkNew=yes", "[receive]",
                                      "RadioButton5=0", "RadioButton4=7"});
  const NewCheckSettings s = NewCheckSettings::Load(dir.path());
  EXPECT_TRUE(s.forward);
  EXPECT_FALSE(s.check_at_start);
  EXPECT_TRUE(s.receive_all);
}

TEST(NewCheckSettings, IntervalIsAWholeNumberOfSecondsFromTenToADay) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"30", 30},         {"10", 10},          {"86400", 86400},   {"9", std::nullopt},   {"86401", std::nullopt},
      {"", std::nullopt}, {"abc", std::nullopt}, {"60s", std::nullopt}, {" 60", std::nullopt}, {"-30", std::nullopt},
      {"1e3", std::nullopt}, {"99999999999", std::nullopt}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseCheckInterval(text), expected) << text;
  for (const auto& choice : CheckIntervalChoices()) EXPECT_TRUE(ParseCheckInterval(choice)) << choice;
}

// "保存": the two checks of the receive-all option, in order, then the interval.
TEST(NewCheckSettings, SaveChecks) {
  const std::vector<std::string> accounts{Sjis("仕事") + "\tpop\tu\tp\tsmtp\tme@x\t110\t25\t0"};
  struct Case {
    const char* what;
    bool receive_all;
    bool forward;
    std::string address, account, interval;
    const char* message;  // "" when saved
    NewCheckProblem::Focus focus;
  };
  using F = NewCheckProblem::Focus;
  const Case cases[] = {
      {"headers only: nothing else checked", false, false, "", "", "30", "", F::ForwardAddress},
      {"empty address refused though forwarding is off", true, false, "", Sjis("仕事"), "30",
       "自動転送先はメールアドレスを記述してください", F::ForwardAddress},
      {"an @ anywhere will do", true, true, "@", Sjis("仕事"), "30", "", F::ForwardAddress},
      {"unknown account", true, true, "a@b", Sjis("私用"), "30", "設定したアカウントの中から選択してください",
       F::ForwardAddress},
      {"account names compare exactly", true, true, "a@b", Sjis("仕事 "), "30",
       "設定したアカウントの中から選択してください", F::ForwardAddress},
      {"address checked before the account", true, true, "ab", "", "30",
       "自動転送先はメールアドレスを記述してください", F::ForwardAddress},
      {"typed interval refused", false, false, "", "", "often",
       "新着チェックの間隔は10から86400までの秒数を半角数字で入力してください", F::Interval},
      {"interval too short", true, false, "a@b", Sjis("仕事"), "5",
       "新着チェックの間隔は10から86400までの秒数を半角数字で入力してください", F::Interval},
  };
  for (const Case& c : cases) {
    NewCheckSettings s;
    s.receive_all = c.receive_all;
    s.forward = c.forward;
    s.forward_address = c.address;
    s.receive_account = c.account;
    s.interval = c.interval;
    const auto problem = CheckNewCheckSave(s, accounts);
    if (std::string(c.message).empty()) {
      EXPECT_FALSE(problem) << c.what;
      continue;
    }
    ASSERT_TRUE(problem) << c.what;
    EXPECT_EQ(U(problem->message), c.message) << c.what;
    EXPECT_EQ(problem->focus, c.focus) << c.what;
  }
}

TEST(RuleLines, MadeFromCompleteInputOnly) {
  const std::string reject = Sjis("削除");
  struct Case {
    const char* what;
    std::string field, text, target;
    std::optional<std::string> line;
  };
  const Case cases[] = {
      {"move", Sjis("件名"), Sjis("会議"), Sjis("acc\\仕事"), Sjis("件名") + "\t" + Sjis("会議") + "\t" + Sjis("acc\\仕事")},
      {"reject with an empty keyword", Sjis("差出人"), "", reject, Sjis("差出人") + "\t\t" + reject},
      {"move with an empty keyword", Sjis("件名"), "", "acc", std::nullopt},
      {"move with no field", "", "x", "acc", std::nullopt},
      {"no folder", Sjis("件名"), "x", "", std::nullopt},
      {"TAB in the keyword", Sjis("件名"), "a\tb", "acc", std::nullopt},
      {"TAB in a rejecting keyword", Sjis("件名"), "a\tb", reject, std::nullopt},
      {"line break in the keyword", Sjis("件名"), "a\r\nb", "acc", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeRuleLine(c.field, c.text, c.target), c.line) << c.what;
}

TEST(RuleLines, AddIgnoresDuplicatesOfAnyCaseAndEditReplaces) {
  std::vector<std::string> lines{Sjis("件名") + "\tHello\tacc"};
  EXPECT_FALSE(AddOrReplaceRule(lines, Sjis("件名") + "\thELLO\tACC"));  // same line but for case
  EXPECT_TRUE(AddOrReplaceRule(lines, Sjis("件名") + "\tHello\tacc\\sub"));
  ASSERT_EQ(lines.size(), 2u);
  // "編集" with no rule chosen adds, unless it is a duplicate.
  EXPECT_TRUE(AddOrReplaceRule(lines, Sjis("差出人") + "\tx\tacc", std::nullopt));
  EXPECT_EQ(lines.size(), 3u);
  // "編集" with a rule chosen replaces it, even by a duplicate of another line.
  EXPECT_TRUE(AddOrReplaceRule(lines, Sjis("差出人") + "\tX\tACC", 0));
  EXPECT_EQ(lines, (std::vector<std::string>{Sjis("差出人") + "\tX\tACC", Sjis("件名") + "\tHello\tacc\\sub",
                                             Sjis("差出人") + "\tx\tacc"}));
}

TEST(RuleLines, FolderTargetIsThePathBelowTheRootWhichIsRefused) {
  EXPECT_EQ(RuleFolderTarget({}), std::nullopt);
  EXPECT_EQ(RuleFolderTarget({"acc"}), "acc");
  EXPECT_EQ(RuleFolderTarget({"acc", "a", "b"}), "acc\\a\\b");
}

TEST(SettingsFiles, ListsLoadAndSaveLineByLine) {
  test::TempDir dir;
  EXPECT_TRUE(SendRuleList::Load(dir.path()).Lines().empty());
  // A missing NoDomain.ini is created empty.
  EXPECT_TRUE(DeletionCandidates::Load(dir.path()).Hosts().empty());
  EXPECT_EQ(ReadFileBytes(dir.path() / "NoDomain.ini"), "");
  DeletionCandidates candidates = DeletionCandidates::Load(dir.path());
  candidates.Hosts() = {"pop.example.jp", "mail.example.com"};
  candidates.Save(dir.path());
  EXPECT_EQ(ReadFileBytes(dir.path() / "NoDomain.ini"), "pop.example.jp\r\nmail.example.com\r\n");
  EXPECT_EQ(DeletionCandidates::Load(dir.path()).Hosts(), candidates.Hosts());

  SendRuleList rules;
  rules.Lines() = {Sjis("あて名") + "\tboss@x\t" + Sjis("上司")};
  rules.Save(dir.path());
  EXPECT_EQ(SendRuleList::Load(dir.path()).Lines(), rules.Lines());

  WriteLines(dir.path() / "ForwardSL.ini", {"id1"});
  DeleteForwardSentList(dir.path());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "ForwardSL.ini"));
  DeleteForwardSentList(dir.path());  // missing: nothing to do
}

}  // namespace
}  // namespace plumex
