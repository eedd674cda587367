// Mail merge, delayed sending and drafts through the application core, with a clock the test
// moves and a sender that records instead of connecting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "send/key_value_lines.h"
#include "shell/app_core.h"
#include "store/file_key.h"
#include "store/store_layout.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string U(std::string_view cp932) { return Cp932ToUtf8(std::string(cp932)); }
std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }

class MergeDraftsTest : public ::testing::Test, public StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;
  std::time_t now = 1'700'000'000;
  std::vector<std::string> sent;  // subjects

  void Start() {
    WriteUtf8Lines("Account.ini", {"A\tpop.a\tua\tpa\t127.0.0.1\ta@a.jp\t110\t25\t0\t>\t0\t0"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=A"});
    core = std::make_unique<AppCore>(ui, root());
    core->Start();
    core->DelayedSend().Queue().SetClock([this] { return now; });
    core->DelayedSend().SetSender([this](const SendRequest& r) {
      if (ValueOf(r.headers, Sjis("件名")) == "fail") throw AppError(ErrorKind::Protocol, "451 later");
      sent.push_back(U(ValueOf(r.headers, Sjis("件名"))));
    });
    core->Drafts().SetClock([this] { return now; });
    ui.messages.clear();
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& m : ui.messages) out.push_back(m.text);
    ui.messages.clear();
    return out;
  }
  void Compose(const std::string& to, const std::string& subject, const std::string& body) {
    core->Compose().NewMail();
    ComposeContent& c = core->Compose().Content();
    c.to = to;
    c.subject = S(subject);
    c.body = {S(body)};
  }
  void ListSendSide(const std::string& top) {
    FolderTree& tree = core->Shell().SendTree();
    for (size_t i = 0; i < tree.TopCount(); ++i)
      if (tree.Top(i)->FolderName() == top) core->Shell().SelectSendNode(tree.Top(i));
  }
  void ListDrafts() { ListSendSide(DraftRootName()); }
  size_t RowOf(const std::string& id) {
    for (size_t r = 0; r < core->Shell().List().Count(); ++r)
      if (core->Shell().List().MessageId(r) == id) return r;
    ADD_FAILURE() << id;
    return 0;
  }
};

TEST_F(MergeDraftsTest, ASheetThatFailsItsChecksLeavesTheSheetInForce) {
  Start();
  MergeSheetCommands& sheet = core->MergeSheet();
  WriteUtf8Lines("good.csv", {"宛先,名前", "a@x,太郎", "b@x,花子"});
  WriteUtf8Lines("bad.csv", {"宛先,名前", "", "c@x,次郎"});
  ASSERT_TRUE(sheet.LoadFile(At("good.csv")));
  EXPECT_TRUE(core->Compose().Content().merge);
  EXPECT_FALSE(sheet.LoadFile(At("bad.csv")));
  EXPECT_THAT(Texts(), ElementsAre("CSVファイルのデータ配列が間違っています。"));
  EXPECT_EQ(core->Compose().Content().merge_sheet.size(), 3u);
  EXPECT_EQ(U(sheet.Grid().Cell(2, 1)), "花子");
  EXPECT_EQ(PathFromText(sheet.FileName()), At("good.csv"));

  // A data row without an address keeps the window open; the sheet is kept as it was.
  sheet.Grid().SetCell(2, 0, "nobody");
  EXPECT_FALSE(sheet.Close());
  EXPECT_THAT(Texts(), ElementsAre("先頭列データがメールアドレスではありません。\r\n\r\n中断するなら「クリア」ボタンを押してから閉じてください。"));

  // The address book import loads what its export wrote, never a file another dialog chose.
  ui.save_file = At("bad.csv");
  sheet.ImportFromAddressBook([] { return std::optional<std::filesystem::path>(); });
  EXPECT_EQ(PathFromText(sheet.FileName()), At("good.csv"));
  WriteUtf8Lines("export.csv", {"宛先,名前", "x@y,X"});
  sheet.ImportFromAddressBook([this] { return std::optional<std::filesystem::path>(At("export.csv")); });
  EXPECT_EQ(core->Compose().Content().merge_sheet.size(), 2u);
  sheet.RebuildColumnItems();
  EXPECT_THAT(sheet.ColumnItems(), ElementsAre(S("宛先(%SS1%)"), S("名前(%SS2%)")));
}

TEST_F(MergeDraftsTest, DelayFiveIsQueuedAndSentAfterItsTime) {
  Start();
  Compose("to@x", "five", "body");
  core->Compose().Content().delay = "5";
  ASSERT_TRUE(core->Compose().Send());
  EXPECT_THAT(Texts(), ElementsAre("5分後に送信します"));
  EXPECT_TRUE(core->State().DelayedSendLabelShown);
  EXPECT_EQ(ui.compose_hidden, 1);
  now += 4 * 60;
  core->DelayedSend().Tick();
  EXPECT_THAT(sent, IsEmpty());
  now += 60;
  core->DelayedSend().Tick();
  EXPECT_THAT(sent, ElementsAre("five"));
  EXPECT_FALSE(core->State().DelayedSendLabelShown);
  EXPECT_FALSE(core->DelayedSend().Queue().Active());
}

TEST_F(MergeDraftsTest, AFailingQueuedMessageIsToldOnceAndTheOthersGo) {
  Start();
  for (const char* subject : {"fail", "next"}) {
    Compose("to@x", subject, "body");
    core->Compose().Content().delay = "1";
    core->Compose().Send();
  }
  now += 120;
  core->DelayedSend().Tick();
  core->DelayedSend().Tick();
  EXPECT_THAT(sent, ElementsAre("next"));
  EXPECT_THAT(core->DelayedSend().TakeUntold(), ElementsAre(S("時差送信に失敗しました。次の時刻にもう一度送信します。\r\n451 later")));
  EXPECT_TRUE(core->State().DelayedSendLabelShown);
  // "時差送信解除" asks, then removes it.
  ui.answers = {MsgAnswer::Cancel};
  EXPECT_FALSE(core->DelayedSend().CancelAll());
  EXPECT_TRUE(core->DelayedSend().CancelAll());
  EXPECT_FALSE(core->DelayedSend().Queue().Active());
  EXPECT_FALSE(core->State().DelayedSendLabelShown);
}

TEST_F(MergeDraftsTest, SavingOverReplacesTheReopenedDraftNotTheSelectedOne) {
  Start();
  Compose("first@x", "first", "one");
  core->Compose().Content().temp_reply_to = "reply@x";
  core->Compose().Content().read_receipt = true;
  core->Drafts().Save(false);
  Compose("second@x", "second", "two");
  EXPECT_FALSE(core->Drafts().CanOverwrite());
  core->Drafts().Save(false);  // the same second
  ListDrafts();
  ASSERT_EQ(core->Shell().List().Count(), 2u);
  const std::string first_key(core->Shell().List().MessageId(1));
  const std::string second_key(core->Shell().List().MessageId(0));
  ASSERT_NE(first_key, second_key);

  core->Drafts().Reopen(RowOf(first_key));
  ComposeContent& c = core->Compose().Content();
  EXPECT_EQ(U(c.subject), "first");
  EXPECT_EQ(c.temp_reply_to, "reply@x");
  EXPECT_TRUE(c.read_receipt);
  EXPECT_TRUE(core->Drafts().CanOverwrite());
  c.subject = S("first, edited");
  core->Shell().List().SetSelection({RowOf(second_key)});
  core->Drafts().Save(true);
  ListDrafts();
  ASSERT_EQ(core->Shell().List().Count(), 2u);
  EXPECT_EQ(U(core->Shell().List().Column(RowOf(first_key), kColSubject)), "first, edited");
  EXPECT_EQ(U(core->Shell().List().Column(RowOf(second_key), kColSubject)), "second");
}

TEST_F(MergeDraftsTest, ReopeningASentMergeAndAMissingFile) {
  Start();
  WriteUtf8Lines("送信/Send.ini", {"<m@x>\t件名\t%SS1%\t2026/12/10_090000\t10\t2\t2\t2",
                                   "<gone@x>\tgone\tz@x\t2026/12/10_090000\t10\t2\t2\t2"});
  WriteUtf8Lines("送信/" + MakeFileKey("<m@x>") + ".txt",
                 {"ReplyTo:a@a.jp", "差出人:a@a.jp", "CCList:", "BccList:", "Message-ID:<m@x>", "References:a@a.jp",
                  "あて名:%SS1%", "件名:%SS2%様へ", "日時:2026/12/10_090000", "Priority:2", "差込ファイル:あり",
                  "-------------------", "%SS2%様"});
  ListSendSide(SendRootName());
  core->Drafts().Reopen(RowOf("<m@x>"));
  ComposeContent& c = core->Compose().Content();
  EXPECT_EQ(c.to, "%SS1%");
  EXPECT_EQ(U(c.subject), "%SS2%様へ");
  EXPECT_THAT(c.body, ElementsAre(S("%SS2%様")));
  EXPECT_FALSE(c.merge);
  EXPECT_FALSE(core->Drafts().CanOverwrite());
  EXPECT_EQ(ui.compose_shown, 1);
  // A missing file empties what the window held, and says so.
  Texts();
  core->Drafts().Reopen(RowOf("<gone@x>"));
  EXPECT_THAT(c.body, IsEmpty());
  EXPECT_EQ(c.to, "");
  EXPECT_THAT(Texts(), ElementsAre("メールのファイルが見つかりません。本文は空になっています。"));
}

TEST_F(MergeDraftsTest, ReopeningAnExtractionRowReadsItsOwnFolder) {
  // The inbox on screen holds a message of its own with the same key.
  WriteUtf8Lines("受信/A/MsgID.ini", {"<s@x>\tinbox\tf@x\t2009/01/01_00:00:00\t10\t2\t2\t2"});
  WriteUtf8Lines("受信/A/" + MakeFileKey("<s@x>") + ".txt", {"Message-ID:<s@x>", "-------------------", "inbox copy"});
  WriteUtf8Lines("受信/A/sub/MsgID.ini", {"<s@x>\tsub\tf@x\t2009/01/01_00:00:00\t10\t2\t2\t2"});
  WriteUtf8Lines("受信/A/sub/" + MakeFileKey("<s@x>") + ".txt",
                 {"Message-ID:<s@x>", "件名:sub", "差出人:f@x", "-------------------", "needle in sub"});
  Start();
  core->Search().Extract(S("needle"));
  ASSERT_EQ(core->Shell().List().Count(), 1u);
  core->Drafts().Reopen(0);
  EXPECT_THAT(core->Compose().Content().body, ElementsAre("needle in sub"));
}

}  // namespace
}  // namespace plumex::test
