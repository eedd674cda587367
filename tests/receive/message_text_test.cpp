#include "receive/message_text.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/clock.h"
#include "platform/text_file.h"
#include "protocol/parsed_message.h"

namespace plumex {
namespace {

TEST(CollapseBlankRuns, LongRunsBetweenTextDisappear) {
  struct Case {
    std::string text, expected;
  };
  const std::string six(6, '\n'), five(5, '\n');
  const Case cases[] = {
      {"a\n" + six + "b", "a\r\nb\r\n"},                                   // six empty lines go
      {"a\n" + five + "b", "a\r\n\r\n\r\n\r\n\r\n\r\nb\r\n"},              // five stay
      {"a\n" + six, "a\r\n\r\n\r\n\r\n\r\n\r\n\r\n"},                      // a trailing run stays
      {six + "b", "b\r\n"},                                                // a leading run goes
      {"", ""},
      {"a\r\n\r\nb", "a\r\n\r\nb\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(CollapseBlankRuns(c.text), c.expected) << c.text;
}

TEST(CollapseBlankRuns, PiecesAgreeWithLineByLineReading) {
  // The text is handed out in stretches; whatever mix of CR LF, CR and LF it has, the result
  // is what reading it line by line gives.
  auto line_by_line = [](const std::string& text) {
    std::vector<std::string> lines = SplitLines(text), kept;
    for (size_t i = 0; i < lines.size();) {
      size_t end = i;
      while (end < lines.size() && lines[end].empty()) ++end;
      if (end == i) {
        kept.push_back(lines[i++]);
        continue;
      }
      if (end == lines.size() || end - i <= 2) kept.insert(kept.end(), end - i, "");
      i = end;
    }
    return JoinLines(kept);
  };
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\n'};
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 24, ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    ASSERT_EQ(CollapseBlankRuns(text, 2), line_by_line(text)) << testing::PrintToString(text);
  }
}

TEST(FormatMessageDate, DateThenReceivedThenNothing) {
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  ParsedMessage m;
  m.Parse("Date: Tue, 08 Sep 2009 12:34:56 +0900\r\nSubject: x\r\n\r\nbody\r\n");
  EXPECT_EQ(FormatMessageDate(m, "yyyy/mm/dd_hh:nn:ss"), "2009/09/08_12:34:56");
  EXPECT_EQ(FormatMessageDate(m, "yyyymmdd"), "20090908");

  m.Parse("Received: from a by b; Sat, 08 Aug 2009 03:34:56 +0000\r\nSubject: x\r\n\r\nbody\r\n");
  EXPECT_EQ(FormatMessageDate(m, "yyyy/mm/dd_hh:nn:ss"), "2009/08/08_12:34:56");

  m.Parse("Subject: x\r\n\r\nbody\r\n");
  EXPECT_EQ(FormatMessageDate(m, "yyyy/mm/dd_hh:nn:ss"), "");

  m.Parse("Received: from a by b; garbage\r\n\r\nbody\r\n");
  EXPECT_EQ(FormatMessageDate(m, "yyyy").size(), 4u);  // unreadable: the current time, never a failure
}

}  // namespace
}  // namespace plumex
