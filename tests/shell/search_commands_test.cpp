// The search commands through the application core: the subject search, the extraction and
// the related-mail extraction as the window runs them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include "search/text_index.h"
#include "shell/app_core.h"
#include "shell/conversation_view.h"
#include "store/file_key.h"
#include "store/tab_line.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kAgain[] = "最後まで検索しましたが、見つかりません。\r\n\r\n  ..最初から検索しますか？";

class SearchCommandsTest : public ::testing::Test, public StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;

  void Message(const std::string& path, const std::string& id, const std::string& subject, const std::string& body) {
    WriteUtf8Lines(path, {"Message-ID:" + id, "件名:" + subject, "差出人:f@x", "日時:2009/01/01_00:00:00",
                          "ﾌｧｲﾙｻｲｽﾞ:10", "-------------------", body});
  }
  void Start(std::vector<std::string> rows) {
    WriteUtf8Lines("Account.ini", {"A\th"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=A"});
    WriteRaw("受信/A/MsgID.ini", rows);
    core = std::make_unique<AppCore>(ui, root());
    core->Start();
    ui.messages.clear();
  }
  void StartWithFiles() {
    Start({Row("<1@x>", "Invoice May", "f", "2009/01/03_00:00:00", "10", "2", "2"),
           Row("<2@x>", "lunch", "f", "2009/01/02_00:00:00", "10", "2", "2"),
           Row("<3@x>", "re: invoice", "f", "2009/01/01_00:00:00", "10", "2", "2")});
    Message("受信/A/" + MakeFileKey("<1@x>") + ".txt", "<1@x>", "Invoice May", "see the INVOICE");
    Message("受信/A/" + MakeFileKey("<2@x>") + ".txt", "<2@x>", "lunch", "nothing");
    Message("受信/A/" + MakeFileKey("<3@x>") + ".txt", "<3@x>", "re: invoice", "ok");
    WriteUtf8Lines("受信/A/Attachment/" + MakeFileKey("<1@x>") + "/invoice.txt", {"invoice"});
  }
  std::vector<std::string> Subjects() {
    std::vector<std::string> out;
    for (size_t r = 0; r < core->Shell().List().Count(); ++r) out.push_back(Cp932ToUtf8(core->Shell().List().Column(r, kColSubject)));
    return out;
  }
};

TEST_F(SearchCommandsTest, SubjectSearchThenSearchNextWrapsOnYes) {
  StartWithFiles();  // listed newest first: Invoice May, lunch, re: invoice
  ui.inputs.push_back("INVOICE");
  core->Search().SearchSubject();
  EXPECT_THAT(ui.input_prompts, ElementsAre("件名でメール検索|件名を入力してください"));
  core->Search().SearchNext();
  ui.answers = {MsgAnswer::Yes};  // at the end: from the first row again
  core->Search().SearchNext();
  ui.answers = {MsgAnswer::No};
  core->Search().SearchNext();  // one more: row 2 matches before the end
  EXPECT_THAT(ui.chosen_rows, ElementsAre(0, -1, 2, -1, 0, -1, 2));
  EXPECT_THAT(ui.Texts(), ElementsAre(kAgain));
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Warning);
  EXPECT_THAT(core->Shell().List().Selection(), ElementsAre(2u));
}

TEST_F(SearchCommandsTest, SubjectSearchWithoutAMatchAsksAndSelectsNothing) {
  StartWithFiles();
  ui.inputs.push_back("nomatch");
  ui.answers = {MsgAnswer::Yes, MsgAnswer::Cancel};  // search again from the top, then give up
  core->Search().SearchSubject();
  EXPECT_THAT(ui.Texts(), ElementsAre(kAgain, kAgain));
  EXPECT_THAT(core->Shell().List().Selection(), IsEmpty());
  // No key, no list: search-next does nothing.
  ui.messages.clear();
  ui.inputs.push_back("");
  core->Search().SearchSubject();
  EXPECT_THAT(ui.Texts(), IsEmpty());
}

TEST_F(SearchCommandsTest, ExtractionListsTheMatchingMessagesAndLeavesAttachmentsOut) {
  StartWithFiles();
  ui.inputs.push_back("invoice");
  core->Search().Extract();
  EXPECT_EQ(core->State().ViewMode, ViewModes::Extract);
  EXPECT_EQ(ui.mode, "抽出");
  EXPECT_EQ(ui.status[0], "2件");
  EXPECT_EQ(ui.status[1], "抽出モードです。");
  EXPECT_THAT(Subjects(), ElementsAre("Invoice May", "re: invoice"));  // the date order chosen
  EXPECT_EQ(Cp932ToUtf8(core->Shell().List().Column(0, kColReference)), "受信\\A\\");
  EXPECT_EQ(core->Shell().MessageDirOf(0), Utf8ToCp932("受信\\A\\"));
  EXPECT_EQ(ui.progress, 3);  // files tested, not index rows
  // The viewer opens a result from its folder.
  core->Shell().ShowMessage(0);
  EXPECT_NE(Cp932ToUtf8(core->State().Viewer.body_text).find("INVOICE"), std::string::npos);
}

TEST_F(SearchCommandsTest, ExtractionPromptAndEmptyFolder) {
  StartWithFiles();
  ui.inputs.push_back("");  // an empty key stops
  core->Search().Extract();
  EXPECT_THAT(ui.input_prompts,
              ElementsAre("メール抽出|現在のフォルダ【受信\\A\\】\r\n内のメール中から抽出します。\r\n\r\n   検索キーを入力してください"));
  EXPECT_THAT(ui.input_defaults, ElementsAre(""));
  EXPECT_EQ(core->State().ViewMode, ViewModes::Normal);

  ui.input_defaults.clear();
  Start({});
  core->Search().Extract();
  EXPECT_THAT(ui.Texts(), ElementsAre("現在のフォルダ【受信\\A\\】には、メールが存在しません"));
  EXPECT_THAT(ui.input_defaults, IsEmpty());
}

TEST_F(SearchCommandsTest, WithTheSendTreeInUseItsFolderIsCheckedAndSearched) {
  StartWithFiles();  // the inbox has rows; the send subfolder has none
  WriteRaw("送信/控え/Send.ini", {});
  core->Shell().FormCreate();
  FolderNode* kept = core->Shell().SendTree().FindByPath(Utf8ToCp932("送信\\控え\\"));
  ASSERT_NE(kept, nullptr);
  core->Shell().SelectSendNode(kept);
  ui.messages.clear();
  core->Search().Extract();
  EXPECT_THAT(ui.Texts(), ElementsAre("現在のフォルダ【送信\\控え\\】には、メールが存在しません"));
  // With a row in its index, the walk runs there and finds no message file.
  WriteRaw("送信/控え/Send.ini", {Row("<s@x>", "invoice", "t", "2009/01/01_000000", "#", "2", "2")});
  ui.inputs.push_back("invoice");
  core->Search().Extract();
  EXPECT_EQ(core->Search().SearchedFolder(), Utf8ToCp932("送信\\控え\\"));
  EXPECT_THAT(core->Search().ResultRows(), IsEmpty());
  EXPECT_EQ(ui.status[0], "0件");
}

TEST_F(SearchCommandsTest, EscapeDuringAnExtractionReturnsToTheFolder) {
  StartWithFiles();
  ui.inputs.push_back("invoice");
  ui.pumps = 0;
  ui.on_pump = [&] {
    if (ui.pumps == 1) core->Receiving().StopReceiving();  // what Escape does
  };
  core->Search().Extract();
  EXPECT_EQ(core->State().ViewMode, ViewModes::Normal);
  EXPECT_EQ(ui.mode, "通常");
  EXPECT_THAT(Subjects(), ElementsAre("Invoice May", "lunch", "re: invoice"));
}

TEST_F(SearchCommandsTest, RelatedExtractionShowsGroupsAndWritesRefIni) {
  Start({Row("<1@x>", "会議", "f", "2009/01/01_00:00:00", "10", "1", "2"),
         Row("<2@x>", "Re: 会議", "f", "2009/01/02_00:00:00", "10", "2", "1"),
         Row("<3@x>", "Fw: 会議", "f", "2009/01/03_00:00:00", "10", "2", "2"),
         Row("<4@x>", "", "f", "2009/01/04_00:00:00", "10", "2", "2")});
  core->Search().RelatedExtract();
  EXPECT_EQ(core->State().ViewMode, ViewModes::RelatedExtract);
  EXPECT_EQ(ui.mode, "関連");
  EXPECT_THAT(ui.Texts(), ElementsAre("完了"));
  EXPECT_EQ(ui.status[0], "3件");
  // The original opens its own group, its reply and forward follow.
  EXPECT_THAT(Subjects(), ElementsAre("会議", "Re: 会議", "Fw: 会議"));
  const MessageList& list = core->Shell().List();
  EXPECT_EQ(list.Group(0), RowGroup::First);
  EXPECT_EQ(list.Group(1), RowGroup::Member);
  EXPECT_EQ(list.Group(2), RowGroup::Member);
  EXPECT_THAT(ReadUtf8Lines("受信/A/Ref.ini"),
              ElementsAre("<1@x>\t会議\tf\t2009/01/01_00:00:00\t10\t1\t2\t2\t会議",
                          "<2@x>\tRe: 会議\tf\t2009/01/02_00:00:00\t10\t2\t1\t2\t会議",
                          "<3@x>\tFw: 会議\tf\t2009/01/03_00:00:00\t10\t2\t2\t2\t会議"));
  // The column sort is off in this mode: the grouping stays as built.
  core->Shell().ColumnClick(kColSubject);
  EXPECT_THAT(Subjects(), ElementsAre("会議", "Re: 会議", "Fw: 会議"));
}

TEST_F(SearchCommandsTest, RelatedExtractionOfDistinctSubjectsWritesAnEmptyRefIni) {
  Start({Row("<1@x>", "one", "f", "2009/01/01_00:00:00", "10", "2", "2"),
         Row("<2@x>", "two", "f", "2009/01/02_00:00:00", "10", "2", "2")});
  WriteUtf8Lines("受信/A/Ref.ini", {"old result"});
  core->Search().RelatedExtract();
  EXPECT_THAT(ui.Texts(), ElementsAre("完了"));
  EXPECT_EQ(ReadText("受信/A/Ref.ini"), "");
  EXPECT_EQ(core->Shell().List().Count(), 0u);
}

TEST_F(SearchCommandsTest, RelatedExtractionWithoutSubjectsSaysSo) {
  Start({Row("<1@x>", "", "f", "2009/01/01_00:00:00", "10", "2", "2")});
  core->Search().RelatedExtract();
  EXPECT_THAT(ui.Texts(), ElementsAre("該当ファイルはありませんでした"));
  EXPECT_FALSE(std::filesystem::exists(At("受信/A/Ref.ini")));
}

TEST_F(SearchCommandsTest, SearchBoxOverTheFolderOnScreenOrEveryFolder) {
  setenv("XDG_CACHE_HOME", (root() / "cache").c_str(), 1);
  StartWithFiles();
  Message("送信/s.txt", "<s@x>", "sent invoice", "the invoice went out");
  Message("受信/A/sub/n.txt", "<n@x>", "nested", "an invoice below");
  EXPECT_TRUE(core->Search().SearchBox(Utf8ToCp932("invoice"), false));
  EXPECT_EQ(core->State().ViewMode, ViewModes::Extract);
  EXPECT_EQ(ui.status[0], "3件");
  EXPECT_TRUE(TextIndex::Status(root()).ready);  // built on the first search
  // Every folder: the send tree too; the rows name their folders, so they open as extraction rows.
  EXPECT_TRUE(core->Search().SearchBox(Utf8ToCp932("invoice"), true));
  EXPECT_EQ(ui.status[0], "4件");
  std::vector<std::string> dirs;
  for (size_t r = 0; r < core->Shell().List().Count(); ++r) dirs.push_back(Cp932ToUtf8(core->Shell().MessageDirOf(r)));
  EXPECT_THAT(dirs, ::testing::UnorderedElementsAre("受信\\A\\", "受信\\A\\", "受信\\A\\sub\\", "送信\\"));
  // The same rows as the extraction's walk.
  ui.inputs.push_back("invoice");
  core->Search().SetSearchWay(SearchWay::Scan);
  core->Search().Extract();
  EXPECT_EQ(ui.status[0], "3件");
  EXPECT_FALSE(core->Search().SearchBox("", false));
}

TEST_F(SearchCommandsTest, ConversationViewGroupsTheRowsOfTheFolder) {
  Start({Row("<1@x>", "plan", "f", "2009/01/01_00:00:00", "10", "2", "2"),
         Row("<2@x>", "Re: plan", "g", "2009/01/02_00:00:00", "10", "2", "2"),
         Row("<3@x>", "other", "h", "2009/01/03_00:00:00", "10", "2", "2")});
  WriteUtf8Lines("受信/A/" + MakeFileKey("<2@x>") + ".txt",
                 {"Message-ID:<2@x>", "References:<1@x>", "-------------------", "b"});
  std::vector<ConversationRow> rows = ShowConversations(core->Shell(), true);
  EXPECT_THAT(Subjects(), ElementsAre("other", "plan", "Re: plan"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].depth, 1);
  EXPECT_TRUE(rows[1].has_replies);
  EXPECT_EQ(core->Shell().List().Group(1), RowGroup::First);
  EXPECT_EQ(core->Shell().List().Group(2), RowGroup::Member);
  EXPECT_THAT(RepliesOf(rows, 1), ElementsAre(2u));
  EXPECT_THAT(RepliesOf(rows, 0), IsEmpty());
}

}  // namespace
}  // namespace plumex::test
