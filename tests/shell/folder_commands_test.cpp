// Selecting tree nodes and the folder commands, on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;

class FolderTest : public ::testing::Test, public StoreFixture {
 protected:
  MainShell shell{ui, root()};
  void SetUp() override {
    WriteUtf8Lines("Account.ini", {"A\th", "B\th"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=A"});
    WriteRaw("受信/A/MsgID.ini", {Row("<1@a>", "s1", "f", "2009/01/01_00:00:00", "10", "2", "1")});
    WriteRaw("受信/A/子/MsgID.ini", {Row("<2@a>", "s2", "f", "2009/01/01_00:00:00", "10", "2", "1"),
                                     Row("<3@a>", "s3", "f", "2009/01/01_00:00:00", "10", "2", "1")});
    WriteRaw("受信/A/子/孫/ひ孫/MsgID.ini", {});
    WriteRaw("受信/B/MsgID.ini", {Row("<4@b>", "s4", "f", "2009/01/01_00:00:00", "10", "2", "2")});
    WriteRaw("受信/B/箱/MsgID.ini", {});
    WriteRaw("送信/Send.ini", {Row("<5@s>", "sent", "to", "2009/01/01_000000", "#", "2", "2")});
    WriteRaw("送信/控え/Send.ini", {Row("<6@s>", "kept", "to", "2009/01/01_000000", "#", "2", "2")});
    WriteUtf8Lines("送信/06@s9.txt", {"-------------------", "kept body"});
    shell.FormCreate();
  }
  FolderNode* Recv(std::initializer_list<size_t> path) {
    FolderNode* n = shell.ReceiveTree().Top(0);
    for (size_t i : path) n = n->Child(i);
    return n;
  }
  FolderNode* Send(size_t top, std::initializer_list<size_t> path = {}) {
    FolderNode* n = shell.SendTree().Top(top);
    for (size_t i : path) n = n->Child(i);
    return n;
  }
};

TEST_F(FolderTest, SelectingNodes) {
  FolderNode* child = Recv({0, 0});
  shell.SelectReceiveNode(child);
  EXPECT_EQ(Cp932ToUtf8(shell.State().CurrentFolderPath), "受信\\A\\子\\");
  EXPECT_EQ(shell.List().Count(), 2u);
  EXPECT_EQ(Cp932ToUtf8(child->Label()), "子\t(2)");

  // Clicking the folder on screen again does not reload it.
  WriteRaw("受信/A/子/MsgID.ini", {});
  shell.SelectReceiveNode(child);
  EXPECT_EQ(shell.List().Count(), 2u);
  // After a send folder was shown it does.
  shell.SelectSendNode(Send(0));
  EXPECT_EQ(shell.State().ViewMode, ViewModes::SendFolder);
  EXPECT_EQ(shell.List().Count(), 1u);
  shell.SelectReceiveNode(child);
  EXPECT_EQ(shell.List().Count(), 0u);
  EXPECT_EQ(Cp932ToUtf8(child->Label()), "子");

  // A folder of another account switches the fetched-id list only; its account node switches both.
  shell.SelectReceiveNode(Recv({1, 0}));
  EXPECT_EQ(Cp932ToUtf8(shell.State().CurrentAccountDir), "受信\\B\\");
  EXPECT_EQ(shell.State().CurrentAccount, "A");
  EXPECT_EQ(shell.State().AccountPosition, 1u);
  std::optional<size_t> loaded = shell.SelectReceiveNode(Recv({1}));
  EXPECT_EQ(shell.State().CurrentAccount, "B");
  EXPECT_EQ(shell.State().AccountPosition, 2u);
  EXPECT_EQ(loaded, std::optional<size_t>(1));
  EXPECT_EQ(ui.account, "ｱｶｳﾝﾄ:B");

  // The root empties the list and leaves no folder on screen.
  shell.SelectReceiveNode(Recv({}));
  EXPECT_EQ(shell.List().Count(), 0u);
  EXPECT_EQ(shell.State().CurrentFolderPath, "");
  EXPECT_EQ(ui.status[0], "");
}

TEST_F(FolderTest, SendTreeNodesAndDrafts) {
  shell.SelectSendNode(Send(0, {0}));
  EXPECT_EQ(shell.State().ViewMode, ViewModes::SendFolder);
  ASSERT_EQ(shell.List().Count(), 1u);
  EXPECT_EQ(Cp932ToUtf8(shell.List().Column(0, kColSubject)), "kept");
  // The message file of a subfolder's row is in "送信\".
  shell.ShowMessage(0);
  EXPECT_EQ(shell.State().Viewer.body_text, "kept body\r\n");
  // A colour mark goes to the subfolder's own index.
  shell.List().SetSelection({0});
  shell.ColourMark("4");
  EXPECT_THAT(ReadUtf8Lines("送信/控え/Send.ini"), ElementsAre("<6@s>\tkept\tto\t2009/01/01_000000\t#\t2\t4\t2"));
  EXPECT_THAT(ReadUtf8Lines("送信/Send.ini"), ElementsAre("<5@s>\tsent\tto\t2009/01/01_000000\t#\t2\t2\t2"));

  auto labels = TreeLabels(shell.ReceiveTree());
  shell.SelectSendNode(Send(1));
  EXPECT_EQ(shell.State().ViewMode, ViewModes::Drafts);
  EXPECT_EQ(shell.List().Count(), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(At("一時保存")));
  EXPECT_EQ(TreeLabels(shell.ReceiveTree()), labels);  // drafts leave the receive tree alone
}

TEST_F(FolderTest, CreateFolder) {
  shell.SelectReceiveNode(Recv({0}));
  ui.inputs = {std::string("新しい")};
  shell.CreateFolder();
  EXPECT_TRUE(std::filesystem::is_directory(At("受信/A/新しい")));
  EXPECT_FALSE(std::filesystem::exists(At("受信/A/新しい/MsgID.ini")));
  EXPECT_EQ(Cp932ToUtf8(Recv({0, 1})->Label()), "新しい");
  // Cancel, an empty name, or the root: nothing.
  ui.inputs = {std::nullopt, std::string("")};
  shell.CreateFolder();
  shell.CreateFolder();
  EXPECT_EQ(Recv({0})->ChildCount(), 2u);
  shell.SelectReceiveNode(Recv({}));
  ui.inputs = {std::string("x")};
  shell.CreateFolder();
  EXPECT_EQ(ui.inputs.size(), 1u);  // not even asked
  // An existing name adds a second node and leaves the directory as it was.
  shell.SelectReceiveNode(Recv({0}));
  ui.inputs = {std::string("子")};
  shell.CreateFolder();
  EXPECT_EQ(Recv({0})->ChildCount(), 3u);
  EXPECT_TRUE(std::filesystem::exists(At("受信/A/子/MsgID.ini")));
  // Names that cannot be one folder are refused.
  for (const char* bad : {"a\\b", "a/b", "Attachment", ".."}) {
    ui.inputs = {std::string(bad)};
    shell.CreateFolder();
    EXPECT_EQ(ui.messages.back().text, "このフォルダ名は使用できません。") << bad;
  }
  EXPECT_EQ(Recv({0})->ChildCount(), 3u);
  // The send tree takes folders under its top nodes.
  shell.SelectSendNode(Send(0));
  ui.inputs = {std::string("送った")};
  shell.CreateFolder();
  EXPECT_TRUE(std::filesystem::is_directory(At("送信/送った")));
}

TEST_F(FolderTest, RenameFolderFromTheMenu) {
  shell.SelectReceiveNode(Recv({0, 0}));  // 子, label with a count
  ui.inputs = {std::string("改名")};
  shell.RenameFolder();
  EXPECT_EQ(ui.input_defaults.back(), "子");
  EXPECT_TRUE(std::filesystem::is_directory(At("受信/A/改名/孫")));
  EXPECT_FALSE(std::filesystem::exists(At("受信/A/子")));
  EXPECT_EQ(Cp932ToUtf8(Recv({0, 0})->Label()), "改名");
  EXPECT_EQ(Cp932ToUtf8(shell.State().CurrentFolderPath), "受信\\A\\改名\\");
  // Onto an existing folder: refused, nothing moves.
  std::filesystem::create_directories(At("受信/A/既存"));
  ui.inputs = {std::string("既存")};
  shell.RenameFolder();
  EXPECT_EQ(ui.messages.back().text, "フォルダ名を変更できませんでした");
  EXPECT_TRUE(std::filesystem::is_directory(At("受信/A/改名")));
  // Accounts are renamed with their record.
  shell.SelectReceiveNode(Recv({1}));
  shell.RenameFolder();
  EXPECT_EQ(ui.messages.back().text, "メニューバーの「設定」「アカウント」で変更してください。");
  EXPECT_TRUE(std::filesystem::is_directory(At("受信/B")));
}

TEST_F(FolderTest, RenameInPlace) {
  FolderNode* child = Recv({0, 0});
  EXPECT_FALSE(shell.CanEditInPlace(Recv({0})));
  EXPECT_FALSE(shell.CanEditInPlace(Recv({})));
  EXPECT_TRUE(shell.CanEditInPlace(child));
  // The label carries a count; the directory named by the folder name is renamed.
  EXPECT_EQ(Cp932ToUtf8(child->Label()), "子\t(2)");
  EXPECT_TRUE(shell.RenameInPlace(child, Utf8ToCp932("新子")));
  EXPECT_TRUE(std::filesystem::is_directory(At("受信/A/新子")));
  EXPECT_EQ(Cp932ToUtf8(child->Label()), "新子");
  // Three levels below the account.
  FolderNode* deep = Recv({0, 0, 0, 0});
  EXPECT_TRUE(shell.RenameInPlace(deep, Utf8ToCp932("深")));
  EXPECT_TRUE(std::filesystem::is_directory(At("受信/A/新子/孫/深")));
  EXPECT_FALSE(std::filesystem::exists(At("受信/A/新子/孫/ひ孫")));
  // Onto an existing directory.
  std::filesystem::create_directories(At("受信/A/有"));
  EXPECT_FALSE(shell.RenameInPlace(child, Utf8ToCp932("有")));
  EXPECT_EQ(ui.messages.back().text, "既に存在するフォルダ名への変更はできません。");
  EXPECT_EQ(Cp932ToUtf8(child->Label()), "新子");
  // Account nodes keep their name.
  EXPECT_FALSE(shell.RenameInPlace(Recv({1}), "C"));
  EXPECT_EQ(ui.messages.back().text, "メニューバーの「設定」「アカウント」で変更してください。");
}

TEST_F(FolderTest, DeleteFolder) {
  shell.SelectReceiveNode(Recv({0, 0}));
  ui.answers = {MsgAnswer::No};
  shell.DeleteFolder();
  EXPECT_EQ(ui.messages.back().text, "選択中のフォルダを削除します。\r\n\r\n　　...よろしいですか？");
  EXPECT_EQ(ui.messages.back().icon, MsgIcon::Warning);
  EXPECT_EQ(ui.messages.back().buttons, MsgButtons::YesNoCancel);
  EXPECT_TRUE(std::filesystem::exists(At("受信/A/子")));
  ui.answers = {MsgAnswer::Yes};
  shell.DeleteFolder();
  EXPECT_FALSE(std::filesystem::exists(At("受信/A/子")));
  EXPECT_EQ(Recv({0})->ChildCount(), 0u);
  EXPECT_EQ(shell.List().Count(), 0u);
  EXPECT_EQ(shell.State().CurrentFolderPath, "");

  // A send subfolder: only its index goes, the message files stay in "送信\".
  shell.SelectSendNode(Send(0, {0}));
  ui.answers = {MsgAnswer::Yes};
  shell.DeleteFolder();
  EXPECT_FALSE(std::filesystem::exists(At("送信/控え")));
  EXPECT_TRUE(std::filesystem::exists(At("送信/06@s9.txt")));
  EXPECT_TRUE(std::filesystem::exists(At("送信/Send.ini")));

  // Top nodes cannot be deleted; the command follows the tree clicked last.
  size_t asked = ui.messages.size();
  shell.SelectSendNode(Send(0));
  shell.DeleteFolder();
  EXPECT_EQ(ui.messages.size(), asked);
}

}  // namespace
}  // namespace plumex::test
