#include "store/stored_message.h"

#include <gtest/gtest.h>

#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "store/header_errors.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(StoredMessage, LookupByKeyAndRoundTrip) {
  test::TempDir dir;
  StoredMessage m;
  m.header_lines = {PseudoHeaderLine(Sjis("あて名:"), "to@x"), PseudoHeaderLine("ReplyTo", ""),
                    PseudoHeaderLine("Message-ID:", "<a@x>"), PseudoHeaderLine(Sjis("件名:"), "a:b"),
                    PseudoHeaderLine(Sjis("ﾌｧｲﾙｻｲｽﾞ:"), "2048")};
  m.body_lines = {"line 1", "-------------------", "", "key:value in the body"};
  auto file = dir.path() / "0a@x9.txt";
  WriteStoredMessage(file, m);

  auto read = ReadStoredMessage(file);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->header_lines, m.header_lines);
  EXPECT_EQ(read->body_lines, m.body_lines);  // a later separator line belongs to the body
  EXPECT_EQ(read->ValueOr(Sjis("件名:")), "a:b");
  EXPECT_EQ(read->ValueOr(Sjis("ﾌｧｲﾙｻｲｽﾞ")), "2048");
  EXPECT_EQ(read->Value("ReplyTo"), std::string());
  EXPECT_FALSE(read->Value("key"));  // body lines are never pseudo-headers
  EXPECT_FALSE(ReadStoredMessage(dir.path() / "missing.txt"));
}

TEST(StoredMessage, OrderOfLinesDoesNotMatter) {
  StoredMessage m = ParseStoredMessage({"b:2", "a:1", "-------------------", "body"});
  EXPECT_EQ(m.ValueOr("a"), "1");
  EXPECT_EQ(m.ValueOr("b"), "2");
  StoredMessage no_separator = ParseStoredMessage({"a:1", "text"});
  EXPECT_TRUE(no_separator.header_lines.empty());
  EXPECT_EQ(no_separator.body_lines.size(), 2u);
}

TEST(HeaderErrors, OverwritesTheFileWithTheRowsAsTheyStood) {
  test::TempDir dir;
  WriteHeaderErrors(dir.path(), {"old"});
  WriteHeaderErrors(dir.path(), {"<a>\tx\ty", "bad"});
  EXPECT_EQ(*ReadFileBytes(dir.path() / "HeaderERR.ini"), "<a>\tx\ty\r\nbad\r\n");
  EXPECT_TRUE(IsInvalidRow("a\tb\tc\td\te\tf\tg"));
  EXPECT_FALSE(IsInvalidRow("a\tb\tc\td\te\tf\tg\th"));
}

}  // namespace
}  // namespace plumex
