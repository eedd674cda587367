// What the window offers comes from the core: the Can…() queries of the command objects, the
// list header's sort arrow, the preview's text, and the open dialogs asked through the port.
// All of it is checked here without a window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/store_path.h"
#include "shell/app_core.h"
#include "shell/preview_text.h"
#include "store/file_key.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CommandQueriesTest : public ::testing::Test, public StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;
  MainShell& Shell() { return core->Shell(); }
  MessageCommands& Messages() { return core->Messages(); }

  void SetUp() override {
    WriteUtf8Lines("Account.ini", {"A\tpop.a\tu\tp\tsmtp.a\ta@x\t110\t25\t0"});
    // "one" is the newest, red and has an attachment; "two" is unread.
    WriteRaw("受信/A/MsgID.ini", {Row("<one@x>", "one", "f@x", "2009/03/01_10:00:00", "10", "1", "3"),
                                  Row("<two@x>", "two", "g@x", "2009/02/01_10:00:00", "10", "2", "1")});
    WriteUtf8Lines("受信/A/" + MakeFileKey("<one@x>") + ".txt", {"差出人:f@x", "-------------------", "本文一"});
    WriteUtf8Lines("受信/A/" + MakeFileKey("<two@x>") + ".txt", {"差出人:g@x", "-------------------", "本文二"});
    WriteUtf8Lines("受信/A/Attachment/" + MakeFileKey("<one@x>") + "/memo.txt", {"メモ"});
    WriteRaw("送信/Send.ini", {Row("<s@x>", "sent", "to@x", "2009/01/01_10:00:00", "10", "2", "2")});
    core = std::make_unique<AppCore>(ui, root());
    ASSERT_TRUE(core->Start());
    Shell().SelectReceiveNode(Shell().ReceiveTree().Top(0)->Child(0));
    ASSERT_EQ(Shell().List().Count(), 2u);
  }
};

// The commands on the rows, in each state a person meets them: nothing chosen, rows chosen in
// a folder, the server list of server delete mode.
TEST_F(CommandQueriesTest, RowCommandsFollowTheViewAndTheChoice) {
  struct Expect {
    bool del, server_act, in_mode, mark, colour_red, colour_blue, register_sender;
  };
  const struct {
    const char* name;
    ViewModes mode;
    std::vector<size_t> chosen;
    Expect expect;
  } cases[] = {
      {"nothing chosen", ViewModes::Normal, {}, {false, false, false, true, false, false, false}},
      {"the red row chosen", ViewModes::Normal, {0}, {true, false, false, true, false, true, true}},
      {"the unread row chosen", ViewModes::Normal, {1}, {true, false, false, true, true, true, true}},
      {"a server row chosen", ViewModes::ServerDelete, {1}, {true, true, true, false, false, false, true}},
      {"the server list, nothing chosen", ViewModes::ServerDelete, {}, {false, false, true, false, false, false, false}},
  };
  for (const auto& c : cases) {
    Shell().State().ViewMode = c.mode;  // the list stands for the server's rows in server mode
    Shell().List().SetSelection(c.chosen);
    const Expect& e = c.expect;
    EXPECT_EQ(Messages().CanDelete(), e.del) << c.name;
    EXPECT_EQ(core->ServerDelete().CanActOnSelected(), e.server_act) << c.name;
    EXPECT_EQ(core->ServerDelete().InMode(), e.in_mode) << c.name;
    EXPECT_EQ(Messages().CanMarkRead(), e.mark) << c.name;
    EXPECT_EQ(Messages().CanColour("3"), e.colour_red) << c.name;
    EXPECT_EQ(Messages().CanColour("4"), e.colour_blue) << c.name;
    EXPECT_EQ(core->AddressBooks().CanRegisterSender(), e.register_sender) << c.name;
  }
}

// Delete acts where it is offered: outside server delete mode it deletes the chosen rows here.
TEST_F(CommandQueriesTest, DeleteOutsideServerModeDeletesLocally) {
  Shell().List().SetSelection({1});
  ui.answers = {MsgAnswer::Yes};
  Messages().Delete();
  EXPECT_EQ(Shell().List().Count(), 1u);
  EXPECT_THAT(ReadUtf8Lines("受信/A/MsgID.ini"),
              ElementsAre(Cp932ToUtf8(Row("<one@x>", "one", "f@x", "2009/03/01_10:00:00", "10", "1", "3"))));
  EXPECT_FALSE(Messages().CanDelete());
}

// Folder commands act on the chosen node of the tree in use: nothing on a tree's top but a new
// folder in the send tree, nothing made directly under "受信".
TEST_F(CommandQueriesTest, FolderCommandsFollowTheChosenNode) {
  struct Node {
    const char* name;
    Trees tree;
    FolderNode* node;
    bool create, rename;
  };
  const Node nodes[] = {
      {"receive root", Trees::Receive, Shell().ReceiveTree().Top(0), false, false},
      {"account", Trees::Receive, Shell().ReceiveTree().Top(0)->Child(0), true, true},
      {"send root", Trees::Send, Shell().SendTree().Top(0), true, false},
  };
  for (const Node& n : nodes) {
    if (n.tree == Trees::Receive) Shell().SelectReceiveNode(n.node);
    else Shell().SelectSendNode(n.node);
    ASSERT_EQ(Shell().State().ActiveTree, n.tree) << n.name;
    EXPECT_EQ(Shell().CanCreateFolder(), n.create) << n.name;
    EXPECT_EQ(Shell().CanRenameFolder(), n.rename) << n.name;
    EXPECT_EQ(Shell().CanDeleteFolder(), n.rename) << n.name;
  }
}

// The header's arrow stands on the column the rows are sorted by, turns with a second click,
// and goes where the rows keep their own order.
TEST_F(CommandQueriesTest, SortArrowFollowsTheSortKey) {
  auto arrow = [&] { return Shell().ListSortArrow(); };
  Shell().ChooseSort(SortKinds::Subject);
  ASSERT_TRUE(arrow());
  EXPECT_EQ(arrow()->column, kColSubject);
  const bool first = arrow()->descending;
  Shell().ColumnClick(kColSubject);
  EXPECT_EQ(arrow()->descending, !first);
  Shell().ColumnClick(kColAttachIcon);
  EXPECT_EQ(arrow()->column, kColAttachIcon);
  Shell().ColumnClick(kColPriorityIcon);
  EXPECT_EQ(arrow()->column, kColPriorityIcon);
  EXPECT_FALSE(Shell().ListShowsRecipients());
  Shell().State().ViewMode = ViewModes::ServerDelete;
  EXPECT_FALSE(arrow());
  Shell().SelectSendNode(Shell().SendTree().Top(0));
  EXPECT_TRUE(Shell().ListShowsRecipients());
}

// Search-next once a subject was searched for; source, attachments and a new command while
// one runs, as the message on screen and the gate say.
TEST_F(CommandQueriesTest, ViewerAndSearchCommandsFollowWhatIsOnScreen) {
  EXPECT_FALSE(core->Search().CanSearchNext());
  ui.inputs = {"two"};
  core->Search().SearchSubject();
  EXPECT_TRUE(core->Search().CanSearchNext());

  EXPECT_FALSE(Shell().CanShowSource());
  EXPECT_FALSE(Shell().CanSaveAllAttachments());
  Shell().ShowMessage(0);
  EXPECT_TRUE(Shell().CanShowSource());
  EXPECT_TRUE(Shell().CanSaveAllAttachments());
  EXPECT_TRUE(Shell().CanActOnAttachment(0));
  EXPECT_FALSE(Shell().CanActOnAttachment(1));
  EXPECT_FALSE(Shell().CanActOnAttachment(std::nullopt));

  EXPECT_TRUE(core->CanStartCommand());
  {
    auto run = Shell().Gate().TryEnter(RunKind::Receive);
    ASSERT_TRUE(run);
    EXPECT_FALSE(core->CanStartCommand());
  }
  EXPECT_TRUE(core->CanStartCommand());
}

// The preview pane's text comes from the core, whatever code the attachment's file is in.
TEST(PreviewText, EveryCodeASenderWritesShowsItsText) {
  const struct {
    const char* name;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"UTF-16 little-endian", std::string("\xFF\xFE\x42\x30\x0D\x00\x0A\x00\x3D\xD8\x00\xDE", 12), "あ\r\n😀"},
      {"UTF-16 big-endian, cut half-way", std::string("\xFE\xFF\x30\x42\x00", 5), "あ"},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" "日本語 한국", "日本語 한국"},
      {"UTF-8", "日本語", "日本語"},
      {"ISO-2022-JP", "\x1B$B$\"\x1B(B", "あ"},
      {"Shift_JIS", "\x82\xA0", "あ"},
      {"ASCII", "plain", "plain"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp932ToUtf8(PreviewTextOf(c.bytes)), c.utf8) << c.name;
}

TEST_F(CommandQueriesTest, ATextAttachmentPreviewsFromItsFile) {
  Shell().ShowMessage(0);
  Shell().ClickAttachment(0);
  const ViewerContent& v = core->State().Viewer;
  ASSERT_EQ(v.preview, ViewerContent::Preview::Text);
  EXPECT_EQ(Cp932ToUtf8(v.preview_text), "メモ\r\n");
  Shell().ShowHtml();
  EXPECT_EQ(v.html_page, ReadText("test.htm"));
}

// Every open dialog goes through the port: its filter, one file or several, the filter it
// opens on; with nothing chosen nothing happens.
TEST_F(CommandQueriesTest, OpenDialogsAskThePort) {
  core->Receiving().OpenChosenMessageFiles();
  core->MessageFiles().ImportChosenMailbox();
  core->Compose().InsertChosenAttachments();
  EXPECT_FALSE(core->MergeSheet().LoadChosenFile());
  EXPECT_THAT(ui.open_dialogs,
              ElementsAre("メール(*.eml)|*.eml|テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*|several|0",
                          "メール(*.mbx)|*.mbx|すべてのファイル(*.*)|*.*|one|0",
                          "テキストファイル(*.txt;*.csv)|*.txt;*.csv|すべてのファイル(*.*)|*.*|several|1",
                          "CSVファイル(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*|one|0"));
  EXPECT_THAT(ui.Texts(), IsEmpty());
  EXPECT_EQ(Shell().List().Count(), 2u);

  WriteFileAtomic(At("m.eml"), "From: s@x\r\nSubject: opened\r\nMessage-ID: <open@x>\r\n"
                               "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n");
  ui.open_files = {At("m.eml")};
  EXPECT_EQ(core->Receiving().OpenChosenMessageFiles(), 1);
  EXPECT_EQ(ReadUtf8Lines("受信/A/MsgID.ini").size(), 3u);
  core->Compose().InsertChosenAttachments();
  EXPECT_THAT(core->Compose().Content().attachments, ElementsAre(PathText(At("m.eml"))));
}

}  // namespace
}  // namespace plumex::test
