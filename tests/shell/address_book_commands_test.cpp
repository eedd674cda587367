// The address book window's commands without the window: books made, renamed and deleted,
// records added, saved and deleted, the picker's lists and export, and the register window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/app_core.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }
std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }

class AddressBookTest : public ::testing::Test, public StoreFixture {
 protected:
  AppCore core{ui, root()};
  AddressBookCommands& books = core.AddressBooks();

  void Open(const std::vector<std::string>& lines) {
    WriteUtf8Lines("Address/友人.adr", lines);
    books.Load();
    ASSERT_EQ(U(books.CurrentBook()), "友人");
  }
  void Type(const std::string& name, const std::string& address, const std::string& remark = "") {
    books.Fields() = {S(name), S(address), S(remark)};
  }
  // Each row as the list view shows it: name, address, remark (UTF-8).
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (size_t r : books.RowOrder()) rows.push_back(U(books.Records()[r].Line()));
    return rows;
  }
  std::string ShownFields() { return U(books.Fields().Line()); }
};

TEST_F(AddressBookTest, TwoFieldLinesAndTypedNamesAreWrittenWhole) {
  Open({"山田\ttaro@x.jp"});
  EXPECT_EQ(ShownFields(), "山田\ttaro@x.jp\t");
  ASSERT_TRUE(books.CloseClick());
  EXPECT_THAT(ReadUtf8Lines("Address/友人.adr"), ElementsAre("山田\ttaro@x.jp\t"));
  // Quotes, commas and brackets leave the name; a TAB, CR or LF in any field is a space. The
  // record on show is the one saved over.
  Type("\"佐藤, 花子\" <営業>", "sato@x.jp\r\n", "備考\t二行");
  books.SaveClick();
  EXPECT_THAT(ReadUtf8Lines("Address/友人.adr"), ElementsAre("佐藤 花子 営業\tsato@x.jp  \t備考 二行"));
}

TEST_F(AddressBookTest, AddedRecordsSortOnReopenAndEachRowSelectsItsOwn) {
  Open({"佐藤\tsato@x.jp\t", "伊藤\tito@x.jp\t"});
  EXPECT_THAT(Rows(), ElementsAre("伊藤\tito@x.jp\t", "佐藤\tsato@x.jp\t"));
  books.AddClick();  // "追加" with a record shown
  ASSERT_TRUE(books.Adding());
  EXPECT_EQ(ShownFields(), "\t\t");
  EXPECT_FALSE(books.CloseClick());  // "閉じる" refused in add mode
  Type("あべ", "abe@x.jp");
  books.SaveClick();
  EXPECT_FALSE(books.Adding());
  EXPECT_THAT(Rows(), ElementsAre("伊藤\tito@x.jp\t", "佐藤\tsato@x.jp\t", "あべ\tabe@x.jp\t"));
  books.OpenBook(S("友人"));
  EXPECT_THAT(Rows(), ElementsAre("あべ\tabe@x.jp\t", "伊藤\tito@x.jp\t", "佐藤\tsato@x.jp\t"));
  books.ColumnClick(RecordColumn::Address);
  books.ColumnClick(RecordColumn::Address);  // again: reversed
  EXPECT_THAT(Rows(), ElementsAre("佐藤\tsato@x.jp\t", "伊藤\tito@x.jp\t", "あべ\tabe@x.jp\t"));
  for (size_t row = 0; row < books.RowOrder().size(); ++row) {
    books.SelectRecord(books.RowOrder()[row]);
    EXPECT_EQ(ShownFields(), Rows()[row]);
    Type("変更", "new@x.jp");  // an update goes to the record of the row
    books.SaveClick();
    EXPECT_EQ(U(books.Records()[books.CurrentIndex()].Line()), "変更\tnew@x.jp\t");
    books.OpenBook(S("友人"));
  }
  EXPECT_THAT(ui.Texts(), ElementsAre("保存、中止のどちらかを選択してください。"));
}

TEST_F(AddressBookTest, EmptyBookTakesItsFirstRecordDirectly) {
  Open({});
  books.AddClick();  // nothing typed: the fields wait for a new entry, no refusal
  EXPECT_TRUE(books.Adding());
  EXPECT_THAT(ui.Texts(), IsEmpty());
  Type("山田", "taro@x.jp");
  books.SaveClick();
  EXPECT_THAT(ReadUtf8Lines("Address/友人.adr"), ElementsAre("山田\ttaro@x.jp\t"));
  // Add mode cancelled with "削除" in an empty book returns to browsing with empty fields.
  books.DeleteClick();  // the one record, answered Yes
  ASSERT_THAT(books.Records(), IsEmpty());
  books.AddClick();
  books.DeleteClick();
  EXPECT_FALSE(books.Adding());
  EXPECT_EQ(ShownFields(), "\t\t");
  EXPECT_TRUE(books.CloseClick());
}

// "追加" with an entry typed into the fields adds that entry; one without an address is refused
// and stays typed. A book made while an entry is typed keeps it for the new book.
TEST_F(AddressBookTest, TypedEntriesAreAddedNeverErased) {
  Open({});
  Type("x", "y@x.jp");
  books.AddClick();
  EXPECT_FALSE(books.Adding());
  EXPECT_THAT(ReadUtf8Lines("Address/友人.adr"), ElementsAre("x\ty@x.jp\t"));
  Type("z", "");
  ui.messages.clear();
  books.AddClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("宛名とアドレスだけは入力してください。"));
  EXPECT_EQ(ShownFields(), "z\t\t");

  Type("新人", "new@x.jp", "memo");
  ui.inputs.push_back(std::string("新規"));
  books.NewBookClick();
  EXPECT_EQ(U(books.CurrentBook()), "新規");
  EXPECT_EQ(ShownFields(), "新人\tnew@x.jp\tmemo");
  books.AddClick();
  EXPECT_THAT(ReadUtf8Lines("Address/新規.adr"), ElementsAre("新人\tnew@x.jp\tmemo"));
  EXPECT_THAT(ReadUtf8Lines("Address/友人.adr"), ElementsAre("x\ty@x.jp\t"));
}

TEST_F(AddressBookTest, BooksMadeRenamedAndDeleted) {
  Open({"山田\ttaro@x.jp\t"});
  WriteUtf8Lines("Address/仕事.adr", {});
  struct Case {
    std::string answer, message;
  } refused[] = {{"仕事", "同一名称のアドレス帳が既に存在します"},
                 {"../x", "アドレス帳の名前に使えない文字が含まれています。"},
                 {" ", "アドレス帳の名前に使えない文字が含まれています。"},
                 {"a|b", "アドレス帳の名前に使えない文字が含まれています。"}};
  for (const auto& c : refused) {
    ui.messages.clear();
    ui.inputs.push_back(c.answer);
    books.NewBookClick();
    EXPECT_THAT(ui.Texts(), ElementsAre(c.message)) << c.answer;
    ui.messages.clear();
    EXPECT_FALSE(books.RenameBook(S("友人"), S(c.answer)));
    const std::string on_rename = c.answer == "仕事" ? "既に存在するアドレス帳への変更はできません。" : c.message;
    EXPECT_THAT(ui.Texts(), ElementsAre(on_rename)) << c.answer;
  }
  EXPECT_FALSE(std::filesystem::exists(root() / "x.adr"));
  EXPECT_THAT(ReadUtf8Lines("Address/友人.adr"), ElementsAre("山田\ttaro@x.jp\t"));

  ui.inputs.push_back(std::string("新規"));
  books.NewBookClick();
  EXPECT_EQ(U(books.CurrentBook()), "新規");
  EXPECT_TRUE(std::filesystem::exists(At("Address/新規.adr")));

  ASSERT_TRUE(books.RenameBook(S("友人"), S("知人")));
  EXPECT_EQ(U(books.CurrentBook()), "知人");
  EXPECT_THAT(Rows(), ElementsAre("山田\ttaro@x.jp\t"));
  EXPECT_FALSE(std::filesystem::exists(At("Address/友人.adr")));

  // The book on show deleted: "未選択", nothing shown, nothing written back.
  ui.answers.push_back(MsgAnswer::Yes);
  books.DeleteBookClick(S("知人"));
  EXPECT_EQ(ui.messages.back().text, "アドレス帳「知人」を削除してもよろしいですか?");
  EXPECT_EQ(U(books.BookLabel()), "未選択");
  EXPECT_THAT(books.Records(), IsEmpty());
  EXPECT_EQ(ShownFields(), "\t\t");
  ui.messages.clear();
  Type("a", "b");
  books.SaveClick();
  EXPECT_THAT(ui.Texts(), ElementsAre("アドレス帳が選択されていません"));
  EXPECT_TRUE(books.CloseClick());
  EXPECT_FALSE(std::filesystem::exists(At("Address/知人.adr")));
}

TEST_F(AddressBookTest, PickerListsAndExport) {
  Open({"山田\ttaro@x.jp\t", "佐藤\tsato@x.jp\t"});
  books.Pick(PickerList::To, {0, 1});
  books.Pick(PickerList::To, {0, 1});
  books.Pick(PickerList::Cc, {0});
  books.Pick(PickerList::Cc, {0});
  EXPECT_THAT(books.List(PickerList::To), ElementsAre(S("\"佐藤\"<sato@x.jp>"), S("\"山田\"<taro@x.jp>")));
  EXPECT_THAT(books.List(PickerList::Cc), ElementsAre(S("\"佐藤\" <sato@x.jp>"), S("\"佐藤\" <sato@x.jp>")));
  books.RemoveEntries(PickerList::Cc, {1});
  EXPECT_EQ(books.List(PickerList::Cc).size(), 1u);

  ui.save_file = root() / "sheet";
  books.ExportClick();
  EXPECT_THAT(ReadUtf8Lines("sheet.txt"), ElementsAre("宛先", "\"佐藤\"<sato@x.jp>", "\"山田\"<taro@x.jp>"));
  EXPECT_EQ(books.List(PickerList::To).size(), 2u);  // the To list stays

  // The compose window's texts come in (a piece once, letter case ignored) and go back joined.
  books.ClearLists();
  books.FillFromCompose(S("\"佐藤\"<SATO@x.jp>,a@x,"), "b@x,b@x", "");
  books.Pick(PickerList::To, {0});
  books.Pick(PickerList::Bcc, {1});
  const auto back = books.TakeForCompose();
  EXPECT_EQ(U(back.to), "\"佐藤\"<SATO@x.jp>,a@x");
  EXPECT_EQ(U(back.cc), "b@x");
  EXPECT_EQ(U(back.bcc), "\"山田\" <taro@x.jp>");
  EXPECT_THAT(books.List(PickerList::To), IsEmpty());
  books.ExportClick();
  EXPECT_EQ(ui.messages.back().text, "TO欄に宛先がありません");
}

TEST_F(AddressBookTest, RegisterWindowSavesIntoTheChosenBook) {
  Open({"山田\ttaro@x.jp\t"});
  WriteUtf8Lines("Address/仕事.adr", {"x\ty\t"});
  books.PrepareRegister(S("佐藤"), "sato@x.jp");
  EXPECT_FALSE(books.RegisterSaveClick());
  EXPECT_THAT(ui.Texts(), ElementsAre("アドレス帳が選択されていません"));
  books.ChooseRegisterBook(S("仕事"));
  ASSERT_TRUE(books.RegisterSaveClick());
  EXPECT_THAT(ReadUtf8Lines("Address/仕事.adr"), ElementsAre("x\ty\t", "佐藤\tsato@x.jp\t"));
  EXPECT_EQ(books.Records().size(), 1u);  // the editor shows another book
  EXPECT_EQ(U(books.RegisterFields().Line()), "\t\t");

  // Into the book the editor shows: its list gains the record at the end.
  books.PrepareRegister(S("\"伊藤\""), "ito@x.jp");
  EXPECT_EQ(U(books.RegisterBook()), "仕事");  // kept between showings
  books.ChooseRegisterBook(S("友人"));
  ASSERT_TRUE(books.RegisterSaveClick());
  EXPECT_THAT(Rows(), ElementsAre("山田\ttaro@x.jp\t", "伊藤\tito@x.jp\t"));
  // A chosen book that is gone is chosen no more.
  std::filesystem::remove(At("Address/友人.adr"));
  books.PrepareRegister("", "");
  EXPECT_EQ(U(books.RegisterBookLabel()), "未選択");
}

}  // namespace
}  // namespace plumex::test
