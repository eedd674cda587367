// Moving and deleting messages and maintenance through the shell's commands, on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "shell/message_commands.h"
#include "shell/search_commands.h"
#include "shell/viewer_offers.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string R(const std::string& id, const std::string& subject, const std::string& mark = "1") {
  return Row(id, subject, "f", "2009/01/01_00:00:00", "10", "2", mark);
}

// While alive, file permissions bind this process even when it runs as root (the test servers'
// machine does): the store is handed to an unprivileged user and the effective id becomes it.
class Unprivileged {
 public:
  explicit Unprivileged(const fs::path& root) {
    if (::geteuid() != 0) return;
    for (const auto& e : fs::recursive_directory_iterator(root)) (void)::lchown(e.path().c_str(), kNobody, kNobody);
    (void)::chown(root.c_str(), kNobody, kNobody);
    dropped_ = ::seteuid(kNobody) == 0;
  }
  ~Unprivileged() {
    if (dropped_) (void)::seteuid(0);
  }

 private:
  static constexpr uid_t kNobody = 65534;
  bool dropped_ = false;
};

class MessageCommandsTest : public ::testing::Test, public StoreFixture {
 protected:
  MainShell shell{ui, root()};
  MessageCommands commands{shell};

  void SetUp() override {
    WriteUtf8Lines("Account.ini", {"A\th", "B\th"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=A"});
    WriteRaw("受信/A/MsgID.ini", {R("<1@a>", "one"), R("<2@a>", "two", "3"), R("<3@a>", "three")});
    for (const char* key : {"01@a9", "02@a9", "03@a9"}) WriteUtf8Lines(std::string("受信/A/") + key + ".txt", {"-------------------", key});
    WriteUtf8Lines("受信/A/Attachment/01@a9/memo.txt", {"memo"});
    WriteRaw("受信/A/AlreadMsgID.ini", {"<1@a>", "<2@a>", "<3@a>"});
    WriteRaw("受信/A/子/MsgID.ini", {R("<3@a>", "three, filed before")});
    WriteRaw("受信/A/子/孫/ひ孫/MsgID.ini", {});
    WriteRaw("受信/B/MsgID.ini", {});
    WriteRaw("受信/B/AlreadMsgID.ini", {"<9@b>"});
    WriteRaw("受信/B/箱/MsgID.ini", {});
    WriteRaw("送信/Send.ini", {R("<5@s>", "sent", "2")});
    WriteUtf8Lines("送信/05@s9.txt", {"-------------------", "sent body"});
    WriteRaw("送信/控え/Send.ini", {R("<6@s>", "kept", "2")});
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
  // The listed rows with these ids, chosen.
  std::vector<ChosenMessage> Choose(std::initializer_list<std::string> ids) {
    std::vector<size_t> rows;
    for (const auto& id : ids)
      for (size_t r = 0; r < shell.List().Count(); ++r)
        if (shell.List().MessageId(r) == id) rows.push_back(r);
    shell.List().SetSelection(rows);
    return commands.SelectedRows();
  }
  std::vector<std::string> Ids(const std::string& file) {
    std::vector<std::string> ids;
    for (const auto& line : ReadUtf8Lines(file)) ids.push_back(line.substr(0, line.find('\t')));
    return ids;
  }
  bool Exists(const std::string& file) const { return fs::exists(At(file)); }
};

// Where the ids of moved messages end up, for each kind of drop.
struct IdCase {
  const char* name;
  bool from_send;
  bool to_send_tree;
  std::vector<size_t> target;  // receive-tree path below the root
  std::vector<std::string> a_ids, b_ids;
};

class MovedIdsTest : public MessageCommandsTest, public ::testing::WithParamInterface<IdCase> {};

TEST_P(MovedIdsTest, FollowTheAccount) {
  const IdCase& c = GetParam();
  std::vector<ChosenMessage> rows;
  if (c.from_send) {
    shell.SelectSendNode(Send(0));
    rows = Choose({"<5@s>"});
  } else {
    shell.SelectReceiveNode(Recv({0}));
    rows = Choose({"<1@a>"});
  }
  if (c.to_send_tree) {
    commands.DropRows(rows, Trees::Send, Send(0, {0}));
  } else {
    FolderNode* n = shell.ReceiveTree().Top(0);
    for (size_t i : c.target) n = n->Child(i);
    commands.DropRows(rows, Trees::Receive, n);
  }
  EXPECT_EQ(Ids("受信/A/AlreadMsgID.ini"), c.a_ids);
  EXPECT_EQ(Ids("受信/B/AlreadMsgID.ini"), c.b_ids);
  EXPECT_THAT(ui.Texts(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Drops, MovedIdsTest,
    ::testing::Values(IdCase{"SameAccount", false, false, {0, 0}, {"<1@a>", "<2@a>", "<3@a>"}, {"<9@b>"}},
                      IdCase{"AnotherAccount", false, false, {1, 0}, {"<2@a>", "<3@a>"}, {"<1@a>", "<9@b>"}},
                      IdCase{"IntoTheSendTree", false, true, {}, {"<2@a>", "<3@a>"}, {"<9@b>"}},
                      IdCase{"SentCopy", true, false, {1}, {"<1@a>", "<2@a>", "<3@a>"}, {"<5@s>", "<9@b>"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageCommandsTest, MovingRowsTakesFilesAndAttachmentsAlong) {
  shell.SelectReceiveNode(Recv({0}));
  commands.DropRows(Choose({"<1@a>", "<2@a>"}), Trees::Receive, Recv({1, 0}));
  EXPECT_FALSE(Exists("受信/A/01@a9.txt"));
  EXPECT_TRUE(Exists("受信/B/箱/01@a9.txt"));
  EXPECT_TRUE(Exists("受信/B/箱/Attachment/01@a9/memo.txt"));
  EXPECT_FALSE(Exists("受信/A/Attachment/01@a9"));
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<3@a>"));
  // Moved rows keep their mark: one unread, one red.
  EXPECT_THAT(ReadUtf8Lines("受信/B/箱/MsgID.ini"), ElementsAre(Cp932ToUtf8(R("<1@a>", "one")), Cp932ToUtf8(R("<2@a>", "two", "3"))));
  EXPECT_EQ(shell.List().Count(), 1u);
  EXPECT_EQ(Cp932ToUtf8(Recv({1, 0})->Label()), "箱\t(1)");
  EXPECT_EQ(Cp932ToUtf8(Recv({0})->Label()), "A\t(1)");
  EXPECT_EQ(ui.status[0], "1件");

  // Onto the folder they come from, and onto the roots, nothing happens.
  commands.DropRows(Choose({"<3@a>"}), Trees::Receive, Recv({0}));
  commands.DropRows(Choose({"<3@a>"}), Trees::Receive, Recv({}));
  commands.DropRows(Choose({"<3@a>"}), Trees::Send, Send(1));
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<3@a>"));
  EXPECT_EQ(shell.List().Count(), 1u);
}

TEST_F(MessageCommandsTest, ARowTheTargetHasStaysAndIsReported) {
  shell.SelectReceiveNode(Recv({0}));
  EXPECT_EQ(commands.DropRows(Choose({"<1@a>", "<2@a>", "<3@a>"}), Trees::Receive, Recv({0, 0})), 1u);
  EXPECT_THAT(ui.Texts(), ElementsAre("件名『three』\r\nはすでに同一メールが存在するので移動できません。"));
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<3@a>"));
  EXPECT_THAT(Ids("受信/A/子/MsgID.ini"), ElementsAre("<1@a>", "<2@a>", "<3@a>"));
  ASSERT_EQ(shell.List().Count(), 1u);
  EXPECT_EQ(shell.List().MessageId(0), "<3@a>");
  EXPECT_TRUE(Exists("受信/A/03@a9.txt"));
}

TEST_F(MessageCommandsTest, AFileTheTargetHoldsUnlistedIsNeitherReplacedNorOrphaned) {
  WriteUtf8Lines("受信/B/箱/01@a9.txt", {"-------------------", "a copy left by another program"});
  shell.SelectReceiveNode(Recv({0}));
  EXPECT_EQ(commands.DropRows(Choose({"<1@a>", "<2@a>"}), Trees::Receive, Recv({1, 0})), 1u);
  // The row stays with its own file and attachments; the other row moved.
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<1@a>", "<3@a>"));
  EXPECT_THAT(Ids("受信/B/箱/MsgID.ini"), ElementsAre("<2@a>"));
  EXPECT_THAT(ReadUtf8Lines("受信/A/01@a9.txt"), ElementsAre("-------------------", "01@a9"));
  EXPECT_THAT(ReadUtf8Lines("受信/B/箱/01@a9.txt"), ElementsAre("-------------------", "a copy left by another program"));
  EXPECT_TRUE(Exists("受信/A/Attachment/01@a9/memo.txt"));
  ASSERT_EQ(ui.Texts().size(), 1u);
  EXPECT_THAT(ui.Texts()[0], ::testing::StartsWith("次のメールは移動できませんでした。\r\n件名『one』: "));
}

TEST_F(MessageCommandsTest, SentMailIsCopiedToReceiveFoldersAndMovedBetweenSendFolders) {
  shell.SelectSendNode(Send(0));
  commands.DropRows(Choose({"<5@s>"}), Trees::Receive, Recv({0, 0}));
  commands.DropRows(Choose({"<5@s>"}), Trees::Receive, Recv({0, 0}));
  // Dropped twice, listed twice; the sent copy stays where it was.
  EXPECT_THAT(Ids("受信/A/子/MsgID.ini"), ElementsAre("<3@a>", "<5@s>", "<5@s>"));
  EXPECT_TRUE(Exists("受信/A/子/05@s9.txt"));
  EXPECT_TRUE(Exists("送信/05@s9.txt"));
  EXPECT_EQ(shell.List().Count(), 1u);

  // From a send subfolder to "送信": only the row moves.
  shell.SelectSendNode(Send(0, {0}));
  commands.DropRows(Choose({"<6@s>"}), Trees::Send, Send(0));
  EXPECT_THAT(Ids("送信/Send.ini"), ElementsAre("<5@s>", "<6@s>"));
  EXPECT_THAT(Ids("送信/控え/Send.ini"), IsEmpty());
  EXPECT_TRUE(Exists("送信/06@s9.txt"));
  EXPECT_EQ(shell.State().SendRootIndex.Size(), 2u);
}

TEST_F(MessageCommandsTest, AMoveThatCannotWriteTheTargetLeavesTheRowsAndSaysWhy) {
  shell.SelectReceiveNode(Recv({0}));
  std::vector<ChosenMessage> rows = Choose({"<1@a>", "<2@a>"});
  fs::create_directories(At("受信/B/箱/Attachment"));
  fs::permissions(At("受信/B/箱"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::owner_write);
  {
    Unprivileged as_user(root());
    fs::permissions(At("受信/B/箱"), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(commands.DropRows(rows, Trees::Receive, Recv({1, 0})), 2u);
    fs::permissions(At("受信/B/箱"), fs::perms::owner_all);
  }
  // Each row stays with its file and its attachments; the id lists are untouched.
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<1@a>", "<2@a>", "<3@a>"));
  EXPECT_THAT(Ids("受信/B/箱/MsgID.ini"), IsEmpty());
  EXPECT_TRUE(Exists("受信/A/01@a9.txt"));
  EXPECT_TRUE(Exists("受信/A/Attachment/01@a9/memo.txt"));
  EXPECT_THAT(Ids("受信/A/AlreadMsgID.ini"), ElementsAre("<1@a>", "<2@a>", "<3@a>"));
  EXPECT_EQ(shell.List().Count(), 3u);
  // Reported once for the command.
  EXPECT_THAT(ui.Texts(), ElementsAre("次のメールは移動できませんでした。\r\n件名『one』: 書き込みが許可されていません\r\n"
                                      "件名『two』: 書き込みが許可されていません"));
}

TEST_F(MessageCommandsTest, LocalDeleteActsOnTheRowsChosenWhenItWasGiven) {
  WriteRaw("受信/A/Ref.ini", {R("<1@a>", "one") + "\tkey", R("<3@a>", "three") + "\tkey"});
  shell.SelectReceiveNode(Recv({0}));
  Choose({"<1@a>"});
  // The selection changes while the question is open: what was chosen before goes.
  ui.on_message_box = [&] { Choose({"<2@a>", "<3@a>"}); };
  commands.DeleteLocally();
  EXPECT_THAT(ui.Texts(), ElementsAre("選択中のメールをパソコン内から削除します。\r\n\r\n　　...よろしいですか？"));
  EXPECT_FALSE(Exists("受信/A/01@a9.txt"));
  EXPECT_FALSE(Exists("受信/A/Attachment/01@a9"));
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<2@a>", "<3@a>"));
  EXPECT_THAT(Ids("受信/A/AlreadMsgID.ini"), ElementsAre("<2@a>", "<3@a>"));
  EXPECT_THAT(Ids("受信/A/Ref.ini"), ElementsAre("<3@a>"));
  EXPECT_EQ(shell.List().Count(), 2u);
  EXPECT_EQ(ui.status[0], "2件");
}

TEST_F(MessageCommandsTest, LocalDeleteCancelledOrTooDeepChangesNothing) {
  shell.SelectReceiveNode(Recv({0}));
  shell.State().Viewer.body_text = "shown";
  Choose({"<1@a>"});
  ui.answers.push_back(MsgAnswer::Cancel);
  commands.DeleteLocally();
  EXPECT_EQ(shell.State().Viewer.body_text, "");
  EXPECT_TRUE(Exists("受信/A/01@a9.txt"));
  EXPECT_EQ(shell.List().Count(), 3u);

  // With a node two levels below the account chosen the command does nothing, and is not offered.
  shell.ReceiveTree().Select(Recv({0, 0, 0}));
  Choose({"<1@a>"});
  EXPECT_FALSE(commands.CanDeleteLocally());
  commands.DeleteLocally();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(Exists("受信/A/01@a9.txt"));
}

TEST_F(MessageCommandsTest, SentMailAndDraftsAreDeletedWithoutAQuestionWhereverTheReceiveTreeStands) {
  WriteRaw("一時保存/temp.ini", {R("07@d9", "draft", "2")});
  WriteUtf8Lines("一時保存/07@d9.txt", {"-------------------"});
  WriteUtf8Lines("一時保存/Attachment/07@d9.ini", {"/tmp/x"});
  shell.ReceiveTree().Select(Recv({0, 0, 0}));  // too deep for receive folders
  shell.SelectSendNode(Send(0, {0}));
  commands.DeleteLocally(Choose({"<6@s>"}), true);
  EXPECT_FALSE(Exists("送信/06@s9.txt"));
  EXPECT_THAT(Ids("送信/控え/Send.ini"), IsEmpty());
  shell.SelectSendNode(Send(1));
  commands.DeleteLocally(Choose({"07@d9"}), true);
  EXPECT_FALSE(Exists("一時保存/07@d9.txt"));
  EXPECT_FALSE(Exists("一時保存/Attachment/07@d9.ini"));
  EXPECT_THAT(Ids("一時保存/temp.ini"), IsEmpty());
  EXPECT_THAT(ui.Texts(), IsEmpty());
}

TEST_F(MessageCommandsTest, DeletingFolderMailActsOnTheSelectedNodesOwnFolder) {
  WriteUtf8Lines("受信/A/子/03@a9.txt", {"-------------------"});
  WriteUtf8Lines("受信/A/子/メモ.txt", {"kept"});
  shell.SelectReceiveNode(Recv({0}));
  // The keys move the selection to the subfolder without listing it.
  shell.ReceiveTree().Select(Recv({0, 0}));
  commands.DeleteFolderMail();
  EXPECT_THAT(Ids("受信/A/子/MsgID.ini"), IsEmpty());
  EXPECT_FALSE(Exists("受信/A/子/03@a9.txt"));
  EXPECT_TRUE(Exists("受信/A/子/メモ.txt"));
  EXPECT_TRUE(Exists("受信/A/子/孫"));
  // The folder on screen keeps its mail.
  EXPECT_THAT(Ids("受信/A/MsgID.ini"), ElementsAre("<1@a>", "<2@a>", "<3@a>"));
  EXPECT_TRUE(Exists("受信/A/03@a9.txt"));
  EXPECT_EQ(shell.List().Count(), 3u);
  EXPECT_THAT(Ids("受信/A/AlreadMsgID.ini"), ElementsAre("<1@a>", "<2@a>"));
  EXPECT_EQ(Cp932ToUtf8(Recv({0, 0})->Label()), "子");
}

TEST_F(MessageCommandsTest, MaintenanceAsksThenRepairsEveryAccount) {
  shell.SelectReceiveNode(Recv({}));
  commands.Maintain();
  EXPECT_THAT(ui.Texts(), ElementsAre("アカウントフォルダを選択してから実行してください。"));
  ui.messages.clear();
  WriteRaw("受信/B/箱/MsgID.ini", {R("<8@b>", "x"), R("<8@b>", "x"), R("<8@b>", "y")});
  WriteUtf8Lines("受信/B/箱/0orphan@b9.txt", {"Message-ID:<orphan@b>", "差出人:someone", "件名:lost", "日時:2009/01/02_03:04:05",
                                             "ﾌｧｲﾙｻｲｽﾞ:99", "-------------------", "body"});
  shell.SelectReceiveNode(Recv({0}));
  commands.Maintain();
  EXPECT_THAT(ui.Texts(), ElementsAre("「重複メッセージの削除」や「メールの基本情報の復旧」などの\r\n　メンテナンスを開始します。\r\n\r\n     ．．．よろしいですか？",
                                      "完了しました"));
  EXPECT_THAT(ReadUtf8Lines("受信/B/箱/MsgID.ini"),
              ElementsAre(Cp932ToUtf8(R("<8@b>", "x")), "<orphan@b>\tlost\tsomeone\t2009/01/02_03:04:05\t99\t2\t1\t2"));
  EXPECT_EQ(Cp932ToUtf8(Recv({1, 0})->Label()), "箱\t(2)");
}


// The commands on the message on screen are offered while it is shown, and none of them once
// a delete, a move, an extraction or a folder change empties the viewer: nothing is left for
// them to act on (no row, no file, no text).
TEST_F(MessageCommandsTest, CommandsOnTheViewerGoWithTheMessageShown) {
  SearchCommands search(shell);
  ViewerOffers shown;
  shown.save = shown.print = shown.reply = shown.forward = shown.html = shown.colour = true;
  const struct {
    const char* name;
    std::function<void()> act;
  } steps[] = {
      {"delete", [&] { commands.DeleteLocally(Choose({"<1@a>"}), false); }},
      {"move", [&] { commands.DropRows(Choose({"<2@a>"}), Trees::Receive, Recv({1, 0})); }},
      {"extraction", [&] { search.Extract(std::string("@a9")); }},
      {"folder change", [&] { shell.SelectReceiveNode(Recv({1})); }},
  };
  for (const auto& step : steps) {
    shell.SelectReceiveNode(Recv({0}));
    ASSERT_GT(shell.List().Count(), 0u) << step.name;
    shell.List().SetSelection({0});
    shell.ShowMessage(0);
    EXPECT_EQ(OffersOnScreen(shell, false), shown) << step.name;
    ViewerOffers edited = shown;
    edited.overwrite = true;
    EXPECT_EQ(OffersOnScreen(shell, true), edited) << step.name;
    step.act();
    shell.List().SetSelection({});
    EXPECT_EQ(OffersOnScreen(shell, true), ViewerOffers{}) << step.name;
    const ViewerContent& v = shell.State().Viewer;
    EXPECT_TRUE(v.shown_row.empty() && v.message_file.empty() && v.body_text.empty() && v.text_view.empty())
        << step.name;
  }
}

// Marks in an extraction view change the Mark of the stored row in the row's own folder and
// nothing else: the extraction row's empty attachment and priority fields never reach an index.
TEST_F(MessageCommandsTest, MarksInAnExtractionKeepTheStoredRowsFields) {
  WriteRaw("受信/A/MsgID.ini", {Row("<1@a>", "one", "f", "2009/01/01_00:00:00", "10", "1", "1", "1"),
                               R("<2@a>", "two", "3"), R("<3@a>", "three")});
  WriteRaw("受信/A/子/MsgID.ini", {Row("<3@a>", "three, filed before", "f", "2009/01/01_00:00:00", "10", "1", "2", "1")});
  WriteUtf8Lines("受信/A/01@a9.txt", {"Message-ID:<1@a>", "-------------------", "01@a9"});
  WriteUtf8Lines("受信/A/子/03@a9.txt", {"Message-ID:<3@a>", "-------------------", "03@a9"});
  shell.SelectReceiveNode(Recv({1}));
  shell.SelectReceiveNode(Recv({0}));  // read again from the files written above
  SearchCommands search(shell);
  ASSERT_TRUE(search.Extract(std::string("@a9")));
  auto choose_in = [&](const std::string& id, const std::string& folder_utf8) {
    for (size_t r = 0; r < shell.List().Count(); ++r)
      if (shell.List().MessageId(r) == id && Cp932ToUtf8(std::string(shell.List().Column(r, kColReference))) == folder_utf8)
        shell.List().SetSelection({r});
  };
  choose_in("<1@a>", "受信\\A\\");
  shell.MarkSelected("2");
  choose_in("<3@a>", "受信\\A\\子\\");
  shell.ColourMark("4");
  EXPECT_THAT(ReadUtf8Lines("受信/A/MsgID.ini"),
              ElementsAre(Cp932ToUtf8(Row("<1@a>", "one", "f", "2009/01/01_00:00:00", "10", "1", "2", "1")),
                          Cp932ToUtf8(R("<2@a>", "two", "3")), Cp932ToUtf8(R("<3@a>", "three"))));
  EXPECT_THAT(ReadUtf8Lines("受信/A/子/MsgID.ini"),
              ElementsAre(Cp932ToUtf8(Row("<3@a>", "three, filed before", "f", "2009/01/01_00:00:00", "10", "1", "4", "1"))));
}


// A server list's rows are messages on the server: clicking one shows no local file with the
// same id, and marks and colours change no local row.
TEST_F(MessageCommandsTest, ServerRowsNeverActOnALocalMessageWithTheSameId) {
  shell.SelectReceiveNode(Recv({0}));
  const std::vector<std::string> before = ReadUtf8Lines("受信/A/MsgID.ini");
  for (ViewModes mode : {ViewModes::ServerDelete, ViewModes::SelectiveReceive}) {
    shell.State().ViewMode = mode;  // the list stands for the server's rows with these ids
    Choose({"<1@a>"});
    shell.ShowMessage(shell.List().Selection().front());
    EXPECT_TRUE(shell.State().Viewer.message_file.empty());
    shell.ColourMark("3");
    shell.MarkSelected("2");
    EXPECT_EQ(ReadUtf8Lines("受信/A/MsgID.ini"), before);
    EXPECT_EQ(OffersOnScreen(shell, true), ViewerOffers{});
  }
}


// A copy filed by a send that did not start in the compose window (the delayed-send tick, a
// forward) shows in the send folder on screen, and a delete there afterwards keeps it.
TEST_F(MessageCommandsTest, ASendRefreshesTheSendFolderOnScreen) {
  for (bool subfolder : {false, true}) {
    const std::string index = subfolder ? "送信/控え/Send.ini" : "送信/Send.ini";
    subfolder ? shell.SelectSendNode(Send(0, {0})) : shell.SelectSendNode(Send(0));
    const size_t before = shell.List().Count();
    std::vector<std::string> rows = ReadUtf8Lines(index);
    rows.push_back(Cp932ToUtf8(R("<new@s>", "new", "2")));
    WriteUtf8Lines(index, rows);
    WriteUtf8Lines("送信/0new@s9.txt", {"-------------------", "new"});
    shell.RefreshSendSide();
    EXPECT_EQ(shell.List().Count(), before + 1) << index;
    commands.DeleteLocally(Choose({subfolder ? "<6@s>" : "<5@s>"}), false);
    EXPECT_THAT(Ids(index), ElementsAre("<new@s>")) << index;
  }
}

}  // namespace
}  // namespace plumex::test
