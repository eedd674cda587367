// Listing, sorting, showing a message and the Mark commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/sjis_text.h"
#include "store/folder_index.h"
#include "store/tab_line.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;

class ListingTest : public ::testing::Test, public StoreFixture {
 protected:
  MainShell shell{ui, root()};

  // Account A with four messages in its inbox; A is the saved account.
  void Start(std::vector<std::string> extra_rows = {}) {
    WriteUtf8Lines("Account.ini", {"A\th"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=A"});
    std::vector<std::string> rows = {
        Row("<old@x>", "bravo", "Zed", "2009/01/01_10:00:00", "100", "2", "2"),
        Row("<new@x>", "Alpha", "amy", "2009/03/01_10:00:00", "20", "1", "1", "1"),
        Row("<mid@x>", "charlie", "Bob", "2009/02/01_10:00:00", "3000", "2", "3"),
        Row("<un@x>", "delta", "carl", "2008/12/31_23:59:59", "5", "1", "1"),
    };
    for (auto& r : extra_rows) rows.push_back(r);
    WriteRaw("受信/A/MsgID.ini", rows);
    shell.FormCreate();
  }
  std::vector<std::string> Column(int c) {
    std::vector<std::string> out;
    for (size_t r = 0; r < shell.List().Count(); ++r) out.push_back(Cp932ToUtf8(shell.List().Column(r, c)));
    return out;
  }
  size_t RowOf(const std::string& id) {
    for (size_t r = 0; r < shell.List().Count(); ++r)
      if (shell.List().MessageId(r) == id) return r;
    ADD_FAILURE() << id;
    return 0;
  }
  std::string MarkInFile(const std::string& id) {
    FolderIndex index = FolderIndex::LoadIfExists(At("受信/A/MsgID.ini"));
    auto pos = FindRow(index, id);
    return pos ? std::string(FieldOf(index.Rows()[*pos], 6)) : "<none>";
  }
  std::string AccountLabel() { return Cp932ToUtf8(shell.ReceiveTree().Top(0)->Child(0)->Label()); }
};

TEST_F(ListingTest, DateSortNewestFirstAndColumnClicksReverse) {
  Start();
  EXPECT_THAT(Column(kColSubject), ElementsAre("Alpha", "charlie", "bravo", "delta"));
  EXPECT_EQ(shell.State().SortKey, -5);
  shell.ColumnClick(kColDate);  // "日時" once more: oldest first
  EXPECT_THAT(Column(kColSubject), ElementsAre("delta", "bravo", "charlie", "Alpha"));
  // Sizes compare as text; letters without regard to case.
  shell.ColumnClick(kColSize);
  EXPECT_THAT(Column(kColSize), ElementsAre("100", "20", "3000", "5"));
  shell.ColumnClick(kColSize);
  EXPECT_THAT(Column(kColSize), ElementsAre("5", "3000", "20", "100"));
  shell.ColumnClick(kColCorrespondent);
  EXPECT_THAT(Column(kColCorrespondent), ElementsAre("amy", "Bob", "carl", "Zed"));
  // The icon columns sort by Priority and AttachFlag.
  shell.ColumnClick(kColPriorityIcon);
  EXPECT_EQ(shell.State().SortKey, 10);
  EXPECT_EQ(Column(kColPriority).front(), "1");
}

TEST_F(ListingTest, SortItems) {
  Start();
  struct Case {
    SortKinds kind;
    std::vector<std::string> subjects;
  } cases[] = {
      {SortKinds::Unread, {"Alpha", "delta", "bravo", "charlie"}},
      {SortKinds::Attachment, {"Alpha", "delta", "bravo", "charlie"}},
      {SortKinds::Subject, {"Alpha", "bravo", "charlie", "delta"}},
      {SortKinds::Correspondent, {"Alpha", "charlie", "delta", "bravo"}},
      {SortKinds::Date, {"Alpha", "charlie", "bravo", "delta"}},
  };
  for (const Case& c : cases) {
    shell.ChooseSort(c.kind);
    EXPECT_EQ(Column(kColSubject), c.subjects) << static_cast<int>(c.kind);
  }
  // The chosen sort holds for the next listing.
  shell.ChooseSort(SortKinds::Subject);
  shell.ListFolderIndex(shell.State().CurrentIndex.Rows());
  EXPECT_THAT(Column(kColSubject), ElementsAre("Alpha", "bravo", "charlie", "delta"));
}

TEST_F(ListingTest, ColumnClickDoesNothingInServerDeleteView) {
  Start();
  shell.State().ViewMode = ViewModes::ServerDelete;
  shell.ColumnClick(kColSubject);
  EXPECT_THAT(Column(kColSubject), ElementsAre("Alpha", "charlie", "bravo", "delta"));
}

TEST_F(ListingTest, InvalidRowsAreReportedSavedAndKept) {
  std::string bad1 = Utf8ToCp932("<bad@x>\t件名\tfrom\t2009/01/01_00:00:00\t1\t2\t1");  // seven fields
  std::string bad2 = "garbage";
  Start({bad1, bad2});
  EXPECT_EQ(shell.List().Count(), 6u);
  EXPECT_EQ(ui.status[0], "6件");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_THAT(ui.messages[0].text, ::testing::StartsWith("読み込めないメールのヘッダ情報が存在します。\r\n\r\n"));
  EXPECT_THAT(ui.messages[0].text, ::testing::EndsWith("HeaderERR.iniとして別に保存しておきます。"));
  EXPECT_THAT(ReadUtf8Lines("HeaderERR.ini"), ElementsAre(Cp932ToUtf8(bad1), "garbage"));
  EXPECT_EQ(FolderIndex::LoadIfExists(At("受信/A/MsgID.ini")).Size(), 6u);
  // Invalid rows show empty columns and are not counted as unread.
  EXPECT_EQ(shell.State().UnreadCount, 2);
  size_t empty_rows = 0;
  for (size_t r = 0; r < shell.List().Count(); ++r)
    if (!shell.List().IsValid(r)) {
      ++empty_rows;
      EXPECT_EQ(shell.List().Column(r, kColSubject), "");
    }
  EXPECT_EQ(empty_rows, 2u);
}

TEST_F(ListingTest, ShowingAnUnreadMessageMarksItReadInListIndexAndLabel) {
  WriteUtf8Lines("受信/A/0new@x9.txt", {"あて名:me", "件名:Alpha", "-------------------", "本文です。", "http://example.jp/ 続き"});
  WriteUtf8Lines("受信/A/Attachment/0new@x9/b.TXT", {"テキスト"});
  WriteUtf8Lines("受信/A/Attachment/0new@x9/a.gif", {"GIF"});
  Start();
  EXPECT_EQ(AccountLabel(), "A\t(2)");
  size_t row = RowOf("<new@x>");
  shell.ShowMessage(row);
  const ViewerContent& v = shell.State().Viewer;
  EXPECT_EQ(Cp932ToUtf8(v.header_text), "あて名:me\r\n件名:Alpha\r\n-------------------\r\n");
  EXPECT_EQ(Cp932ToUtf8(v.body_text), "本文です。\r\nhttp://example.jp/ 続き\r\n");
  ASSERT_EQ(v.attachments.size(), 2u);
  EXPECT_EQ(v.attachments[0], "a.gif");
  // The first entry (a .gif) hides the pane; clicking the .TXT previews it.
  EXPECT_EQ(v.preview, ViewerContent::Preview::Hidden);
  shell.ClickAttachment(1);
  EXPECT_EQ(v.preview, ViewerContent::Preview::Text);
  EXPECT_EQ(shell.List().Mark(row), "2");
  EXPECT_EQ(MarkInFile("<new@x>"), "2");
  EXPECT_EQ(shell.State().UnreadCount, 1);
  EXPECT_EQ(AccountLabel(), "A\t(1)");
}

TEST_F(ListingTest, MissingFileAndFileWithoutSeparator) {
  WriteUtf8Lines("受信/A/0mid@x9.txt", {"only body", "more"});
  Start();
  shell.ShowMessage(RowOf("<un@x>"));  // no file: nothing shown, marked read all the same
  EXPECT_EQ(shell.State().Viewer.body_text, "");
  EXPECT_TRUE(shell.State().Viewer.attachments.empty());
  EXPECT_EQ(MarkInFile("<un@x>"), "2");
  shell.ShowMessage(RowOf("<mid@x>"));
  EXPECT_EQ(shell.State().Viewer.header_text, "");
  EXPECT_EQ(shell.State().Viewer.body_text, "only body\r\nmore\r\n");
  EXPECT_EQ(MarkInFile("<mid@x>"), "3");  // a coloured row is not unread
}

TEST_F(ListingTest, ExtractViewShowsFromTheRowsFolderWithoutMarking) {
  Start();
  WriteUtf8Lines("受信/A/sub/0x@y9.txt", {"-------------------", "extracted"});
  shell.State().ViewMode = ViewModes::Extract;
  SortedLineList rows;
  rows.Add(Row("<x@y>", "s", "f", "2009/01/01_00:00:00", "1", "2", "1") + "\t" + Utf8ToCp932("受信\\A\\sub\\"));
  shell.ListFolderIndex(rows);
  EXPECT_EQ(Cp932ToUtf8(shell.List().Column(0, kColReference)), "受信\\A\\sub\\");
  shell.ShowMessage(0);
  EXPECT_EQ(shell.State().Viewer.body_text, "extracted\r\n");
  EXPECT_EQ(shell.List().Mark(0), "1");
}

TEST_F(ListingTest, MarkReadUnreadAndColours) {
  Start();
  size_t red = RowOf("<mid@x>");
  shell.List().SetSelection({red});
  shell.MarkSelected("2");  // "既読にする" on a red row turns it black
  EXPECT_EQ(MarkInFile("<mid@x>"), "2");
  EXPECT_EQ(RowStyleOfMark(shell.List().Mark(red)).colour, 0x000000u);
  shell.MarkSelected("1");  // "未読に戻す": bold again, counted
  EXPECT_EQ(MarkInFile("<mid@x>"), "1");
  EXPECT_TRUE(RowStyleOfMark(shell.List().Mark(red)).bold);
  EXPECT_EQ(AccountLabel(), "A\t(3)");

  // Several rows at once.
  shell.List().SetSelection({RowOf("<new@x>"), RowOf("<un@x>"), RowOf("<old@x>")});
  shell.MarkSelected("2");
  EXPECT_EQ(MarkInFile("<new@x>"), "2");
  EXPECT_EQ(MarkInFile("<un@x>"), "2");
  EXPECT_EQ(AccountLabel(), "A\t(1)");

  // Colours apply to the first selected row only and leave the label alone.
  struct Case {
    const char* mark;
    Rgb colour;
  } colours[] = {{"3", 0xFF0000}, {"4", 0x0000FF}, {"5", 0x008000}, {"6", 0xFF00FF}, {"7", 0x00FFFF}, {"2", 0}};
  shell.List().SetSelection({RowOf("<old@x>"), RowOf("<new@x>")});
  size_t first = shell.List().Selection().front();
  std::string first_id(shell.List().MessageId(first));
  for (const Case& c : colours) {
    shell.ColourMark(c.mark);
    EXPECT_EQ(MarkInFile(first_id), c.mark);
    EXPECT_EQ(RowStyleOfMark(c.mark).colour, c.colour);
  }
  shell.ColourMark("3");
  EXPECT_EQ(MarkInFile("<mid@x>"), "1");
  EXPECT_EQ(AccountLabel(), "A\t(1)");
  // Selection follows the rows through a sort.
  shell.ColumnClick(kColSubject);
  ASSERT_EQ(shell.List().Selection().size(), 2u);
  EXPECT_EQ(shell.List().MessageId(shell.List().Selection()[0]), "<new@x>");
}

TEST_F(ListingTest, HtmlViewWritesThePage) {
  WriteUtf8Lines("受信/A/0new@x9.txt", {"-------------------", "pre", "<HTML><body>日本</body></html>", "post"});
  Start();
  shell.List().SetSelection({RowOf("<new@x>")});
  shell.ShowMessage(RowOf("<new@x>"));
  shell.ShowHtml();
  EXPECT_TRUE(shell.State().Viewer.html_shown);
  EXPECT_EQ(ReadText("test.htm"), Utf8ToCp932("<HTML><body>日本</body></html>\r\n"));
  shell.ShowText();
  EXPECT_FALSE(shell.State().Viewer.html_shown);
  // Clicking a row ends the HTML view.
  shell.ShowHtml();
  shell.ShowMessage(RowOf("<new@x>"));
  EXPECT_FALSE(shell.State().Viewer.html_shown);
}

TEST_F(ListingTest, SavingAttachments) {
  WriteUtf8Lines("受信/A/0new@x9.txt", {"-------------------", "b"});
  WriteUtf8Lines("受信/A/Attachment/0new@x9/写真.jpg", {"new-jpg"});
  WriteUtf8Lines("受信/A/Attachment/0new@x9/表.csv", {"new-csv"});
  Start();
  shell.ShowMessage(RowOf("<new@x>"));
  ASSERT_EQ(shell.State().Viewer.attachments.size(), 2u);
  EXPECT_EQ(shell.State().Viewer.preview, ViewerContent::Preview::Picture);

  TempDir out;
  WriteLines(out.path() / "写真.jpg", {"old"});
  ui.save_file = out.path() / "写真.jpg";
  ui.answers = {MsgAnswer::No};
  shell.SaveAttachment(0);
  EXPECT_EQ(ui.messages.back().text, "同一ﾌｧｲﾙが存在します。上書きしますか？");
  EXPECT_EQ(ReadFileBytes(out.path() / "写真.jpg"), "old\r\n");
  ui.answers = {MsgAnswer::Yes};
  shell.SaveAttachment(0);
  EXPECT_EQ(ReadFileBytes(out.path() / "写真.jpg"), "new-jpg\r\n");
  // A copy that cannot be written names the file and the reason.
  ui.save_file = out.path() / "ない" / "写真.jpg";
  shell.SaveAttachment(0);
  EXPECT_EQ(ui.messages.back().text, "ファイルを保存できませんでした。\r\n" + (out.path() / "ない" / "写真.jpg").string() +
                                         "\r\nファイルまたはフォルダがありません");
  EXPECT_EQ(ui.messages.back().icon, MsgIcon::Error);

  WriteLines(out.path() / "写真.jpg", {"old"});
  ui.folder = out.path();
  ui.answers = {MsgAnswer::Cancel};
  shell.SaveAllAttachments();
  EXPECT_EQ(ReadFileBytes(out.path() / "写真.jpg"), "old\r\n");
  EXPECT_EQ(ReadFileBytes(out.path() / "表.csv"), Utf8ToCp932("new-csv") + "\r\n");

  shell.OpenAttachment(1);
  ASSERT_EQ(ui.opened_files.size(), 1u);
  EXPECT_EQ(ui.opened_files[0].filename(), "表.csv");
}

TEST_F(ListingTest, PreviewByExtension) {
  Start();
  TempDir d;
  for (const char* name : {"a.JPG", "b.bmp", "c.txt", "d.CSV", "e.jpeg", "f.gif"}) WriteLines(d.path() / name, {"x"});
  struct Case {
    const char* name;
    ViewerContent::Preview expected;
  } cases[] = {{"a.JPG", ViewerContent::Preview::Picture}, {"b.bmp", ViewerContent::Preview::Picture},
               {"c.txt", ViewerContent::Preview::Text},    {"d.CSV", ViewerContent::Preview::Text},
               {"e.jpeg", ViewerContent::Preview::Hidden}, {"f.gif", ViewerContent::Preview::Hidden}};
  for (const Case& c : cases) {
    shell.PreviewAttachment(d.path() / "c.txt");
    shell.PreviewAttachment(d.path() / c.name);
    EXPECT_EQ(shell.State().Viewer.preview, c.expected) << c.name;
  }
  // A missing previewable file leaves the pane as it was.
  shell.PreviewAttachment(d.path() / "c.txt");
  shell.PreviewAttachment(d.path() / "missing.jpg");
  EXPECT_EQ(shell.State().Viewer.preview, ViewerContent::Preview::Text);
  EXPECT_EQ(shell.State().Viewer.preview_file, d.path() / "c.txt");
}

}  // namespace
}  // namespace plumex::test
