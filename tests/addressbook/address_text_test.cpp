// The texts of the address books: record lines, stored names, the splits of sender texts and
// the address found in a line of the viewer. Cases in UTF-8, run as code page 932.
#include <gtest/gtest.h>

#include "addressbook/address_record.h"
#include "addressbook/book_folder.h"
#include "addressbook/sender_split.h"
#include "text/code_page.h"

namespace plumex {
namespace {

std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }
std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

TEST(AddressRecord, LinesReadAndWritten) {
  struct Case {
    std::string line, name, address, remark, written;
  } cases[] = {
      {"山田\ttaro@x.jp", "山田", "taro@x.jp", "", "山田\ttaro@x.jp\t"},  // two fields: remark empty, TAB written
      {"山田\ttaro@x.jp\t営業", "山田", "taro@x.jp", "営業", "山田\ttaro@x.jp\t営業"},
      {"山田\ttaro@x.jp\t営業\t余分", "山田", "taro@x.jp", "営業", "山田\ttaro@x.jp\t営業"},
      {"名前だけ", "名前だけ", "", "", "名前だけ\t\t"},
  };
  for (const auto& c : cases) {
    const AddressRecord r = AddressRecord::Parse(S(c.line));
    EXPECT_EQ(U(r.name), c.name) << c.line;
    EXPECT_EQ(U(r.address), c.address) << c.line;
    EXPECT_EQ(U(r.remark), c.remark) << c.line;
    EXPECT_EQ(U(r.Line()), c.written) << c.line;
  }
}

TEST(AddressRecord, StoredNamesAndEntries) {
  struct Case {
    std::string typed, stored;
  } cases[] = {
      {"\"山田, 太郎\" <boss>", "山田 太郎 boss"},
      {"ソフト表示", "ソフト表示"},  // trail bytes 0x5C of "ソ" and "表" stay
      {"a\tb\r\nc", "a b  c"},        // a TAB, CR or LF would break the line
  };
  for (const auto& c : cases) EXPECT_EQ(U(StoredDisplayName(SingleLineField(S(c.typed)))), c.stored) << c.typed;
  const AddressRecord r{S("山田"), "taro@x.jp", ""};
  EXPECT_EQ(U(ToEntry(r)), "\"山田\"<taro@x.jp>");
  EXPECT_EQ(U(CcEntry(r)), "\"山田\" <taro@x.jp>");
}

TEST(BookName, UsableNames) {
  struct Case {
    std::string name;
    bool usable;
  } cases[] = {
      {"友人", true},        {"ソフト開発", true},  // 0x5C as a trail byte is no "\"
      {"表|示", false},      {"a|b", false},         {"../x", false}, {"a\\b", false}, {"a:b", false},
      {"a*", false},         {"a?", false},         {"\"a\"", false}, {"<a>", false}, {"a\tb", false},
      {"", false},           {"   ", false},        {".", false},     {"..", false},  {"...", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUsableBookName(S(c.name)), c.usable) << c.name;
}

TEST(SenderSplit, NamesAndAddresses) {
  struct Case {
    std::string text, name, address;
  } cases[] = {
      {"\"山田 太郎\" <taro@x.jp>", "山田 太郎", "taro@x.jp"},
      {"山田 太郎 <taro@x.jp>", "山田 太郎", "taro@x.jp"},
      {" taro@x.jp ", "", " taro@x.jp "},  // no "<": the whole text, spaces kept
      {"太郎 <taro@x.jp> (営業部)", "太郎", "taro@x.jp"},  // the comment is no part of the address
      {"<taro@x.jp>", "", "taro@x.jp"},
      {"\"太郎 <taro@x.jp", "太郎", "taro@x.jp"},  // no ">": the rest
      {"\t\"a\"\"\" <b@c>", "a\"\"", "b@c"},  // one quote off each end only
  };
  for (const auto& c : cases) {
    const NameAndAddress split = SplitSender(S(c.text));
    EXPECT_EQ(U(split.name), c.name) << c.text;
    EXPECT_EQ(U(split.address), c.address) << c.text;
  }
}

TEST(SenderSplit, AddressInTheCaretLine) {
  struct Case {
    std::string line, address;
  } cases[] = {
      {"連絡先はtaro@example.jp（営業部）です。", "taro@example.jp"},
      {"アtaro@example.jp", "taro@example.jp"},  // "ア" ends in 0x41, an "A" read alone
      {"ソtaro@example.jp", "taro@example.jp"},  // "ソ" ends in 0x5C
      {"宛先: taro@example.jp, hanako@example.jp", "taro@example.jp"},
      {"送ってください taro@example.jp.", "taro@example.jp"},
      {"<taro.yamada+news@example.jp>", "taro.yamada+news@example.jp"},
      {"ﾒｰﾙ@example.jp", "ﾒｰﾙ@example.jp"},  // half-width katakana belongs to the run
      {"メールアドレスはありません", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(U(AddressInLine(S(c.line))), c.address) << c.line;
}

}  // namespace
}  // namespace plumex
