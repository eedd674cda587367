// Book files on disk: the folder's books, the order a book opens in, completion over every
// book and the exported recipient sheet.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "addressbook/book_completion.h"
#include "addressbook/book_folder.h"
#include "addressbook/recipient_sheet.h"
#include "addressbook/record_order.h"
#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using ::testing::ElementsAre;

std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }
std::vector<std::string> Lines(const std::vector<std::string>& utf8) {
  std::vector<std::string> out;
  for (const auto& l : utf8) out.push_back(Utf8ToCp932(l));
  return out;
}
std::vector<std::string> U(const std::vector<std::string>& cp932) {
  std::vector<std::string> out;
  for (const auto& l : cp932) out.push_back(Cp932ToUtf8(l));
  return out;
}

TEST(BookFiles, FolderListsOnlyBooks) {
  test::TempDir dir;
  BookFolder books(dir.path() / "Address");
  books.Save(S("友人"), Lines({"山田\ttaro@x.jp\t"}));
  books.Save("work", {});
  WriteLines(dir.path() / "Address" / "memo.txt", {"x"});
  WriteLines(dir.path() / "Address" / ".adr", {"x"});  // no name before the extension
  EXPECT_THAT(U(books.Books()), ElementsAre("work", "友人"));
  EXPECT_EQ(ReadFileBytes(books.PathOf(S("友人"))).value(), S("山田\ttaro@x.jp\t\r\n"));
  EXPECT_TRUE(books.Rename("work", S("仕事")));
  EXPECT_THAT(U(books.Books()), ElementsAre("仕事", "友人"));
}

TEST(BookFiles, OpeningOrderIgnoresLetterCaseAndFollowsJapanese) {
  const BookCollations collations = BookCollations::Japanese();
  // Names alike in their base letters are ordered by the whole line ("か" and "が" differ in
  // voicing only, so the address decides before it); a name that begins another comes first.
  const std::string file = JoinLines(Lines({"佐藤\tsato@x.jp\t", "abc\tb@x\t", "あべ\tabe@x\t", "ABD\td@x\t",
                                             "Abc\ta@x\t", "いとう\tito@x\t", "がき\ta@x\t", "かき\tz@x\t",
                                             "かき\ta@y\t", "佐藤 花子\th@x\t", "佐藤", "abc\tb@x\t"}));
  std::vector<std::string> lines;
  for (const auto& r : SortedRecords(file, collations)) lines.push_back(Cp932ToUtf8(r.Line()));
  EXPECT_THAT(lines, ElementsAre("Abc\ta@x\t", "abc\tb@x\t", "abc\tb@x\t", "ABD\td@x\t", "あべ\tabe@x\t",
                                 "いとう\tito@x\t", "がき\ta@x\t", "かき\ta@y\t", "かき\tz@x\t", "佐藤\t\t",
                                 "佐藤\tsato@x.jp\t", "佐藤 花子\th@x\t"));
}

// The shortcut through the names' base letters gives the order of whole-line keys: random
// lines of names that begin one another, differ in voicing, letter case or width only.
TEST(BookFiles, OpeningOrderIsTheOrderOfWholeLines) {
  const BookCollations collations = BookCollations::Japanese();
  const char* const parts[] = {"か", "が", "カ", "ｶ", "き", "a", "A", "ab", "佐藤", "さとう", " ", "-", "1", "１"};
  std::mt19937 rng(5);
  std::vector<std::string> lines;
  for (int i = 0; i < 400; ++i) {
    std::string name;
    for (size_t n = rng() % 4; n > 0; --n) name += parts[rng() % 14];
    std::string line = name + "\t" + parts[rng() % 14] + "@x\t" + parts[rng() % 14];
    lines.push_back(S(line));
  }
  std::vector<std::string> expected = lines;
  std::stable_sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
    const std::string ka = collations.line->SortKey(a), kb = collations.line->SortKey(b);
    return ka != kb ? ka < kb : a < b;
  });
  std::vector<std::string> got;
  for (const auto& r : SortedRecords(JoinLines(lines), collations)) got.push_back(r.Line());
  EXPECT_EQ(got, expected);
}

TEST(BookFiles, LinesEndInCrLfLfOrCr) {
  const BookCollations collations = BookCollations::Japanese();
  std::vector<std::string> names;
  for (const auto& r : SortedRecords("d\r\nb\nc\ra\r\r\ne\tx\r", collations)) names.push_back(r.name);
  EXPECT_THAT(names, ElementsAre("", "a", "b", "c", "d", "e"));
}

TEST(BookFiles, ColumnOrders) {
  const BookCollations collations = BookCollations::Japanese();
  const std::vector<AddressRecord> records = {
      {"b", "Y@x", ""}, {"B", "x@x", ""}, {S("あ"), "z@x", ""}, {"a", "W@x", ""}};
  EXPECT_THAT(ColumnOrder(records, RecordColumn::Name, false, collations), ElementsAre(3, 0, 1, 2));
  EXPECT_THAT(ColumnOrder(records, RecordColumn::Name, true, collations), ElementsAre(2, 1, 0, 3));
  // Other columns: bytes with ASCII letters folded.
  EXPECT_THAT(ColumnOrder(records, RecordColumn::Address, false, collations), ElementsAre(3, 1, 0, 2));
}

TEST(BookFiles, CompletionOverEveryBook) {
  test::TempDir dir;
  BookFolder books(dir.path() / "Address");
  books.Save(S("友人"), Lines({"山田 太郎\ttaro@x.jp\t", "Taro Big\tbig@x.jp\t", "ア\ta@x\t"}));
  books.Save(S("仕事"), Lines({"山田 太郎\ttaro@x.jp\t", "taro-only", "x\ty\t"}));
  // Sorted by bytes, each line once, letter case significant.
  EXPECT_THAT(U(MatchingBookLines(books, "taro")), ElementsAre("taro-only", "山田 太郎\ttaro@x.jp\t"));
  // "A" is the trail byte of "ア" (0x83 0x41): only the line with a real "A" would do.
  EXPECT_THAT(MatchingBookLines(books, "A"), ElementsAre());
  EXPECT_THAT(MatchingBookLines(books, ""), ElementsAre());
  EXPECT_EQ(Cp932ToUtf8(CompletionItem(S("山田 太郎\ttaro@x.jp\t"))), "\"山田 太郎\"<taro@x.jp>");
  EXPECT_EQ(CompletionItem("taro-only"), "taro-only>");
}

TEST(BookFiles, RecipientSheetOfTwoEntries) {
  test::TempDir dir;
  WriteRecipientSheet(dir.path() / "to.txt", Lines({"\"山田\"<taro@x.jp>", "\"佐藤\"<sato@x.jp>"}));
  EXPECT_EQ(ReadFileBytes(dir.path() / "to.txt").value(),
            S("宛先\r\n\"山田\"<taro@x.jp>\r\n\"佐藤\"<sato@x.jp>\r\n"));
}

}  // namespace
}  // namespace plumex
