// The account in use over the main window's state, its receive tree and its POP3 connection:
// start-up, browsing, the tree's account switch, renames, deletes and the first account.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "protocol/pop3_client.h"
#include "shell/account_commands.h"
#include "shell/app_core.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;

// Two accounts: "home" (plain POP3) and "仕事" (implicit TLS on 995), each with mail; "仕事"
// was in use at the last exit and has fetched ids and a signature.
class AccountCommandsTest : public ::testing::Test, public StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;
  MainShell* shell = nullptr;
  AccountCommands* accounts = nullptr;

  void WriteTwoAccounts() {
    WriteUtf8Lines("Account.ini", {"home\tpop.home\th\thpw\tsmtp.home\th@x\t110\t25\t0",
                                   "仕事\tpop.work\tw\twpw\tsmtp.work\tw@x\t995\t465\t-1\t|\t-1\t-1"});
    WriteUtf8Lines("受信/home/MsgID.ini", {Row("<h1@x>", "s", "f", "2026/01/01_10:00:00", "1", "1", "1")});
    WriteUtf8Lines("受信/home/AlreadMsgID.ini", {"<h1@x>"});
    WriteUtf8Lines("受信/仕事/MsgID.ini", {Row("<w1@x>", "s", "f", "2026/01/01_10:00:00", "1", "1", "2")});
    WriteUtf8Lines("受信/仕事/AlreadMsgID.ini", {"<w1@x>"});
    WriteUtf8Lines("受信/仕事/syomei.ini", {"--", "山田 %SSdate%"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=仕事"});
  }
  // As the program starts: the main window (with the account code), then the account window.
  void Start() {
    core.reset();
    core = std::make_unique<AppCore>(ui, root());
    shell = &core->Shell();
    accounts = &core->Accounts();
    core->Start();
    accounts->Editor().Open();
  }
  void Shutdown() {
    core->Shutdown(shell->State().Settings);
  }
  MainState& S() { return shell->State(); }
  Pop3Client& Pop3() { return shell->Pop3(); }
  std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }
  std::vector<std::string> Ids() { return S().ReceivedIds.Ids().Lines(); }
  FolderNode* AccountNode(size_t i) { return shell->ReceiveTree().Top(0)->Child(i); }
};

TEST_F(AccountCommandsTest, StartUpMakesTheSavedAccountTheAccountInUse) {
  WriteTwoAccounts();
  Start();
  EXPECT_EQ(S().AccountPosition, 2u);
  EXPECT_EQ(Utf8(S().CurrentAccount), "仕事");
  EXPECT_EQ(Utf8(S().CurrentAccountDir), "受信\\仕事\\");
  EXPECT_THAT(Ids(), ElementsAre("<w1@x>"));
  EXPECT_EQ(Pop3().host, "pop.work");
  EXPECT_EQ(Pop3().port, 995);
  EXPECT_TRUE(Pop3().use_tls);
  EXPECT_EQ(Pop3().user_name, "w");
  EXPECT_EQ(Pop3().password, "wpw");
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:仕事");
  ASSERT_TRUE(accounts->InUse());
  EXPECT_EQ(accounts->InUse()->record.reply_mark, "|");
  EXPECT_TRUE(accounts->InUse()->record.delete_after_receive);
  EXPECT_EQ(Utf8(accounts->InUse()->signature[1]), "山田 %SSdate%");
  EXPECT_EQ(Utf8(accounts->Editor().form().name), "仕事");
  EXPECT_EQ(accounts->Editor().shown_number(), 2u);
}

// The account window's arrows only show records; "閉じる" makes the record shown the account
// in use with its inbox on screen. A click on an account node switches at once.
TEST_F(AccountCommandsTest, TheAccountShownIsUsedOnCloseAndATreeClickAtOnce) {
  WriteTwoAccounts();
  WriteUtf8Lines("Account.ini", {"home\tpop.home\th\thpw\tsmtp.home\th@x\t110\t25\t0",
                                 "仕事\tpop.work\tw\twpw\tsmtp.work\tw@x\t995\t465\t-1\t|\t-1\t-1",
                                 "new\tpop.new\tn\tnpw\tsmtp.new\tn@x\t110\t25\t0"});
  Start();
  accounts->Editor().Previous();
  EXPECT_EQ(accounts->Editor().form().name, "home");
  EXPECT_EQ(Utf8(S().CurrentAccount), "仕事");
  EXPECT_EQ(Pop3().host, "pop.work");
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:仕事");

  ASSERT_TRUE(accounts->Editor().Close().ok);
  EXPECT_EQ(S().AccountPosition, 1u);
  EXPECT_EQ(S().CurrentAccount, "home");
  EXPECT_EQ(Pop3().host, "pop.home");
  EXPECT_EQ(Pop3().port, 110);
  EXPECT_FALSE(Pop3().use_tls);
  EXPECT_EQ(S().CurrentAccountDir, Utf8ToCp932("受信\\home\\"));
  EXPECT_EQ(S().CurrentFolderPath, Utf8ToCp932("受信\\home\\"));
  EXPECT_EQ(shell->ReceiveTree().Selected(), AccountNode(0));
  EXPECT_THAT(Ids(), ElementsAre("<h1@x>"));
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:home");
  EXPECT_TRUE(accounts->InUse()->signature.empty());

  // An account used for the first time starts with an empty list of fetched ids, on disk too.
  accounts->Editor().Next();
  accounts->Editor().Next();
  EXPECT_FALSE(std::filesystem::exists(At("受信/new/AlreadMsgID.ini")));
  ASSERT_TRUE(accounts->Editor().Close().ok);
  EXPECT_EQ(S().CurrentAccount, "new");
  EXPECT_TRUE(Ids().empty());
  EXPECT_EQ(ReadText("受信/new/AlreadMsgID.ini"), "");

  // A click on an account node in the tree runs LoadAccount: the window shows that record.
  core->SelectReceiveNode(AccountNode(0));
  EXPECT_EQ(S().AccountPosition, 1u);
  EXPECT_EQ(accounts->Editor().form().name, "home");
  EXPECT_EQ(accounts->Editor().shown_number(), 1u);
  EXPECT_EQ(Pop3().host, "pop.home");
  EXPECT_EQ(Utf8(S().CurrentFolderPath), "受信\\home\\");
  EXPECT_THAT(Ids(), ElementsAre("<h1@x>"));
}

TEST_F(AccountCommandsTest, RenameMovesTheFolderAndTheNodeAndSurvivesARestart) {
  WriteTwoAccounts();
  Start();
  ASSERT_EQ(Utf8(S().CurrentFolderPath), "受信\\仕事\\");
  accounts->Editor().form().name = Utf8ToCp932("会社");
  ASSERT_TRUE(accounts->Editor().Save().ok);
  EXPECT_THAT(TreeLabels(shell->ReceiveTree()), ElementsAre("受信", "  home|(1)", "  会社"));
  EXPECT_FALSE(std::filesystem::exists(At("受信/仕事")));
  EXPECT_THAT(ReadUtf8Lines("受信/会社/AlreadMsgID.ini"), ElementsAre("<w1@x>"));
  EXPECT_THAT(ReadUtf8Lines("受信/会社/syomei.ini"), ElementsAre("--", "山田 %SSdate%"));
  // The folder on screen and the fetched-id list follow the folder that moved.
  EXPECT_EQ(Utf8(S().CurrentFolderPath), "受信\\会社\\");
  EXPECT_EQ(Utf8(S().CurrentAccountDir), "受信\\会社\\");
  EXPECT_EQ(Utf8(S().CurrentAccount), "会社");

  ASSERT_TRUE(accounts->Editor().Close().ok);
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:会社");
  EXPECT_THAT(ReadUtf8Lines("Account.ini"),
              ElementsAre("home\tpop.home\th\thpw\tsmtp.home\th@x\t110\t25\t0",  // as it was read
                          "会社\tpop.work\tw\twpw\tsmtp.work\tw@x\t995\t465\t-1\t|\t-1\t-1"));
  Shutdown();

  Start();
  EXPECT_EQ(Utf8(S().CurrentAccount), "会社");
  EXPECT_EQ(S().AccountPosition, 2u);
  EXPECT_THAT(Ids(), ElementsAre("<w1@x>"));
  EXPECT_EQ(S().CurrentIndex.Size(), 1u);
}

TEST_F(AccountCommandsTest, DeleteRemovesFolderAndNodeAndTheLastOneStaysDeleted) {
  WriteTwoAccounts();
  Start();
  accounts->Editor().Previous();  // "home", whose node shows an unread count
  ASSERT_TRUE(accounts->Editor().Delete().ok);
  EXPECT_FALSE(std::filesystem::exists(At("受信/home")));
  EXPECT_THAT(TreeLabels(shell->ReceiveTree()), ElementsAre("受信", "  仕事"));
  EXPECT_EQ(S().AccountList.size(), 1u);
  EXPECT_EQ(Utf8(S().CurrentAccount), "仕事");
  EXPECT_EQ(Pop3().host, "pop.work");

  // The account on screen goes with its folder: the list is emptied.
  ASSERT_TRUE(accounts->Editor().Delete().ok);
  EXPECT_FALSE(std::filesystem::exists(At("受信/仕事")));
  EXPECT_THAT(TreeLabels(shell->ReceiveTree()), ElementsAre("受信"));
  EXPECT_EQ(S().CurrentFolderPath, "");
  EXPECT_EQ(shell->List().Count(), 0u);
  EXPECT_TRUE(S().AccountList.empty());
  Shutdown();
  EXPECT_EQ(ReadText("Account.ini"), "");

  ui.messages.clear();
  Start();
  EXPECT_TRUE(S().AccountList.empty());
  EXPECT_THAT(TreeLabels(shell->ReceiveTree()), ElementsAre("受信"));
  EXPECT_FALSE(std::filesystem::exists(At("受信/仕事")));
}

TEST_F(AccountCommandsTest, FirstAccountInAnEmptyStore) {
  Start();
  ASSERT_EQ(ui.messages.size(), 1u);  // no Account.ini
  AccountEditor& editor = accounts->Editor();
  EXPECT_FALSE(editor.add_button_visible());
  AccountForm& f = editor.form();
  f.name = Utf8ToCp932("個人");
  f.address = "me@example.jp";
  f.pop_host = "pop.example.jp";
  f.smtp_host = "smtp.example.jp";
  f.user = "me";
  f.password = "pw";
  f.signature = {"--"};
  ASSERT_TRUE(editor.Save().ok);
  EXPECT_THAT(TreeLabels(shell->ReceiveTree()), ElementsAre("受信", "  個人"));
  EXPECT_FALSE(std::filesystem::exists(At("Account.ini")));  // written on "閉じる"

  ASSERT_TRUE(editor.Close().ok);
  EXPECT_EQ(S().AccountPosition, 1u);
  EXPECT_EQ(Utf8(S().CurrentAccount), "個人");
  EXPECT_EQ(Utf8(S().CurrentFolderPath), "受信\\個人\\");
  EXPECT_EQ(Utf8(S().CurrentAccountDir), "受信\\個人\\");
  EXPECT_EQ(shell->ReceiveTree().Selected(), AccountNode(0));
  EXPECT_EQ(Pop3().host, "pop.example.jp");
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:個人");
  EXPECT_EQ(ReadText("受信/個人/AlreadMsgID.ini"), "");
  EXPECT_THAT(ReadUtf8Lines("Account.ini"),
              ElementsAre("個人\tpop.example.jp\tme\tpw\tsmtp.example.jp\tme@example.jp\t110\t25\t0\t>\t0\t0"));
}

}  // namespace
}  // namespace plumex::test
