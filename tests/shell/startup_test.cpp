// Start-up, close question and shutdown on fixture stores.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/profile_file.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;

class StartupTest : public ::testing::Test, public StoreFixture {
 protected:
  MainShell shell{ui, root()};
  std::string Ini(const char* section, const char* key) {
    return ProfileFile::Load(root() / "plumex.ini").ReadString(section, key, "<none>");
  }
};

TEST_F(StartupTest, NoAccountFileShowsTheMessageAndOnlyTheRoot) {
  shell.FormCreate();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "アカウントが設定されていません。\r\n\r\nメニューバーの「設定」－「アカウント」で設定してください。");
  EXPECT_THAT(TreeLabels(shell.ReceiveTree()), ElementsAre("受信"));
  EXPECT_THAT(TreeLabels(shell.SendTree()), ElementsAre("送信", "一時保存"));
  EXPECT_EQ(shell.State().CurrentFolderPath, "");
  EXPECT_EQ(ui.mode, "通常");
  EXPECT_TRUE(std::filesystem::is_directory(At("Address")));
  EXPECT_TRUE(std::filesystem::is_directory(At("送信")));
}

TEST_F(StartupTest, DefaultsWithoutSettingsFileAndTheirWriteBack) {
  shell.FormCreate();
  const AppSettings& s = shell.State().Settings;
  EXPECT_EQ(s.column_subject, 300);
  EXPECT_EQ(s.column_from, 200);
  EXPECT_EQ(s.column_date, 130);
  EXPECT_EQ(s.column_size, 75);
  EXPECT_EQ(s.tree_pane_width, 180);
  EXPECT_EQ(s.bottom_pane_height, 60);
  EXPECT_EQ(s.form_width, 600);
  EXPECT_FALSE(shell.State().HeaderShown);
  EXPECT_FALSE(shell.State().StartPasswordOn);

  AppSettings window;  // as the window measures itself
  window.form_width = 640;
  window.form_height = 480;
  window.column_subject = 250;
  shell.SetHeaderShown(true);
  shell.FormDestroy(window);
  EXPECT_EQ(Ini("Form", "Width"), "640");
  EXPECT_EQ(Ini("Form", "Height"), "480");
  EXPECT_EQ(Ini("ListView", "Columns2"), "250");
  EXPECT_EQ(Ini("Header", "ON"), "1");
  EXPECT_EQ(Ini("Start", "Pass"), "0");
  EXPECT_EQ(Ini("CurAccount", "Position"), "");
}

TEST_F(StartupTest, SavedValuesMaximisedAndHeaderAreRead) {
  WriteUtf8Lines("plumex.ini", {"[Form]", "Width=-1", "Height=-1", "[Header]", "ON=1", "[Panel2]", "Height=77",
                                "[ListView]", "Columns3=99", "[Start]", "Pass=1"});
  shell.FormCreate();
  EXPECT_TRUE(shell.State().Settings.maximised());
  EXPECT_EQ(shell.State().Settings.bottom_pane_height, 77);
  EXPECT_EQ(shell.State().Settings.column_from, 99);
  EXPECT_TRUE(shell.State().HeaderShown);
  EXPECT_TRUE(shell.State().StartPasswordOn);
  AppSettings window;
  window.form_width = window.form_height = -1;  // closed maximised
  shell.FormDestroy(window);
  EXPECT_EQ(Ini("Form", "Width"), "-1");
  EXPECT_EQ(Ini("Form", "Height"), "-1");
  EXPECT_EQ(Ini("Start", "Pass"), "1");
}

TEST_F(StartupTest, FailedStartPasswordEndsTheStartBeforeAnythingLoads) {
  WriteUtf8Lines("plumex.ini", {"[Start]", "Pass=1"});
  WriteUtf8Lines("Account.ini", {"A\tpop.a\tu"});
  shell.FormCreate([] { return false; });
  EXPECT_TRUE(shell.State().CloseRequested);
  EXPECT_TRUE(shell.State().StartRefused);
  EXPECT_TRUE(shell.State().AccountList.empty());
  EXPECT_EQ(shell.ReceiveTree().TopCount(), 0u);
}

// Two accounts; the saved one (B) is listed, the other shows its unread count.
TEST_F(StartupTest, AccountsBuildTheTreeAndListTheSavedAccount) {
  WriteUtf8Lines("Account.ini", {"A\tpop.a\tu", "B\tpop.b\tu"});
  WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=B"});
  WriteRaw("受信/A/MsgID.ini", {Row("<1@a>", "s1", "f", "2009/01/01_00:00:00", "10", "2", "1"),
                                Row("<2@a>", "s2", "f", "2009/01/02_00:00:00", "10", "2", "1")});
  WriteRaw("受信/A/仕事/MsgID.ini", {Row("<3@a>", "s3", "f", "2009/01/02_00:00:00", "10", "2", "1")});
  std::filesystem::create_directories(At("受信/A/仕事/Attachment/x"));
  std::filesystem::create_directories(At("受信/A/仕事/古い/深い"));
  WriteRaw("受信/B/MsgID.ini", {Row("<4@b>", "s4", "f", "2009/01/01_00:00:00", "10", "2", "1"),
                                Row("<5@b>", "s5", "f", "2009/01/03_00:00:00", "10", "2", "2")});
  WriteUtf8Lines("受信/B/syomei.txt", {"new signature"});
  WriteUtf8Lines("受信/B/syomei.ini", {"old signature"});
  WriteUtf8Lines("受信/B/Ref.txt", {"ref"});
  WriteRaw("送信/Send.ini", {Row("<6@s>", "x", "y", "2009/01/01_000000", "#", "2", "1")});
  std::filesystem::create_directories(At("送信/控え"));
  std::filesystem::create_directories(At("一時保存/下"));

  shell.FormCreate();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_THAT(TreeLabels(shell.ReceiveTree()),
              ElementsAre("受信", "  A|(2)", "    仕事|(1)", "      古い", "        深い", "  B|(1)"));
  EXPECT_THAT(TreeLabels(shell.SendTree()), ElementsAre("送信|(1)", "  控え", "一時保存"));
  const MainState& s = shell.State();
  EXPECT_EQ(s.AccountPosition, 2u);
  EXPECT_EQ(Cp932ToUtf8(s.CurrentFolderPath), "受信\\B\\");
  EXPECT_EQ(Cp932ToUtf8(s.CurrentAccountDir), "受信\\B\\");
  EXPECT_EQ(shell.ReceiveTree().Selected(), shell.ReceiveTree().Top(0)->Child(1));
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:B");
  EXPECT_EQ(shell.List().Count(), 2u);
  EXPECT_EQ(ui.status[0], "2件");
  // Folders met by the scan get their index; the account gets its fetched-id list.
  EXPECT_TRUE(std::filesystem::exists(At("受信/A/仕事/古い/深い/MsgID.ini")));
  EXPECT_FALSE(std::filesystem::exists(At("受信/A/仕事/Attachment/MsgID.ini")));
  EXPECT_TRUE(std::filesystem::exists(At("送信/控え/Send.ini")));
  EXPECT_TRUE(std::filesystem::exists(At("受信/B/AlreadMsgID.ini")));
  // The old file names are replaced.
  EXPECT_FALSE(std::filesystem::exists(At("受信/B/syomei.txt")));
  EXPECT_THAT(ReadUtf8Lines("受信/B/syomei.ini"), ElementsAre("new signature"));
  EXPECT_FALSE(std::filesystem::exists(At("受信/B/Ref.txt")));
  EXPECT_THAT(ReadUtf8Lines("受信/B/Ref.ini"), ElementsAre("ref"));
}

TEST_F(StartupTest, MissingAccountDirectoryIsCreatedWithItsIndexes) {
  WriteUtf8Lines("Account.ini", {"新規\th"});
  WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=新規"});
  shell.FormCreate();
  EXPECT_TRUE(std::filesystem::exists(At("受信/新規/MsgID.ini")));
  EXPECT_TRUE(std::filesystem::exists(At("受信/新規/AlreadMsgID.ini")));
  EXPECT_EQ(shell.List().Count(), 0u);
}

// A saved name that is no account (or none at all) falls back to the first account.
TEST_F(StartupTest, UnknownSavedAccountFallsBackToTheFirst) {
  for (const char* saved : {"Gone", ""}) {
    SCOPED_TRACE(saved);
    MainShell s(ui, root());
    WriteUtf8Lines("Account.ini", {"\th", "A\th", "B\th"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", std::string("Position=") + saved});
    WriteRaw("受信/A/MsgID.ini", {Row("<1@a>", "s1", "f", "2009/01/01_00:00:00", "10", "2", "1")});
    s.FormCreate();
    EXPECT_EQ(s.State().CurrentAccount, "A");
    EXPECT_EQ(s.State().AccountPosition, 2u);
    EXPECT_EQ(Cp932ToUtf8(s.State().CurrentFolderPath), "受信\\A\\");
    EXPECT_EQ(s.List().Count(), 1u);
    EXPECT_FALSE(std::filesystem::exists(At("受信/Gone")));
    // The record without a name gets no node and no folder.
    EXPECT_THAT(TreeLabels(s.ReceiveTree()), ElementsAre("受信", "  A|(1)", "  B"));
    EXPECT_FALSE(std::filesystem::exists(At("受信/MsgID.ini")));
  }
}

TEST_F(StartupTest, AccountListOfOneLineBreakIsNotWritten) {
  shell.FormCreate();
  shell.State().AccountList = {""};
  shell.FormDestroy(AppSettings());
  EXPECT_FALSE(std::filesystem::exists(At("Account.ini")));
  shell.State().AccountList = {Utf8ToCp932("あ\th")};
  shell.FormDestroy(AppSettings());
  EXPECT_THAT(ReadUtf8Lines("Account.ini"), ElementsAre("あ\th"));
}

TEST_F(StartupTest, CloseQuestionWithDelayedSendPending) {
  shell.FormCreate();
  EXPECT_TRUE(shell.FormCloseQuery());  // nothing queued: no question
  EXPECT_EQ(ui.messages.size(), 1u);    // only the start-up message
  WriteUtf8Lines("AfterSend/AfterSend.ini", {"x"});
  WriteUtf8Lines("AfterSend/1.txt", {"y"});
  ui.answers = {MsgAnswer::Cancel};
  EXPECT_FALSE(shell.FormCloseQuery());
  EXPECT_EQ(ui.messages.back().text, "時差送信設定が残っています。\r\n\r\n時差送信を解除し、Plumexを終了させますか？");
  EXPECT_EQ(ui.messages.back().buttons, MsgButtons::OkCancel);
  EXPECT_TRUE(std::filesystem::exists(At("AfterSend/AfterSend.ini")));
  ui.answers = {MsgAnswer::Ok};
  auto run = shell.Gate().TryEnter(RunKind::Receive);
  EXPECT_TRUE(shell.FormCloseQuery());
  EXPECT_TRUE(std::filesystem::is_directory(At("AfterSend")));
  EXPECT_TRUE(std::filesystem::is_empty(At("AfterSend")));
  EXPECT_TRUE(run->StopRequested());  // the run going on ends with the window
}

}  // namespace
}  // namespace plumex::test
