// Related-mail groups: SubjectKey, date order within a group, Japanese order between groups.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "search/related_mail.h"
#include "store/tab_line.h"
#include "tests/support/fake_ui.h"

namespace plumex {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::string Row(const std::string& id, const std::string& subject, const std::string& date) {
  return Utf8ToCp932(id + "\t" + subject + "\tfrom\t" + date + "\t10\t2\t2\t2");
}

class RelatedMailTest : public ::testing::Test {
 protected:
  test::FakeUi ui;
  bool stop = false;
  std::unique_ptr<TextCollation> ja = MakeJapaneseCollation();

  // "id" for each kept row, with "*" before the first of a group.
  std::vector<std::string> Groups(const std::vector<std::string>& rows) {
    RelatedMail r = RelateBySubject(rows, *ja, ui, stop, std::chrono::milliseconds(0));
    std::vector<std::string> out;
    for (size_t i = 0; i < r.lines.size(); ++i) out.push_back((r.starts_group[i] ? "*" : "") + Cp932ToUtf8(FieldOf(r.lines[i], 0)));
    return out;
  }
};

TEST_F(RelatedMailTest, Groups) {
  const struct {
    const char* what;
    std::vector<std::string> rows;
    std::vector<std::string> groups;
  } cases[] = {
      {"the original, its reply and its forward go together, in date order",
       {Row("orig", "会議", "2009/01/01"), Row("fw", "Fw: 会議", "2009/01/03"), Row("re", "Re: 会議", "2009/01/02")},
       {"*orig", "re", "fw"}},
      {"Re: Re: joins Re:", {Row("a", "Re: Re: x", "2009/01/02"), Row("b", "Re: x", "2009/01/01")}, {"*b", "a"}},
      {"keys differing only in case stand together but are not grouped",
       {Row("up", "Re: ABC", "2009/01/01"), Row("low", "Re: abc", "2009/01/02")},
       {}},
      {"a run of equal keys broken by a case-twin splits",
       {Row("1", "Re: abc", "2009/01/01"), Row("2", "Re: ABC", "2009/01/02"), Row("3", "Re: abc", "2009/01/03"),
        Row("4", "Re: abc", "2009/01/04")},
       {"*3", "4"}},
      {"groups follow the Japanese order of their keys (あ before か before 漢字)",
       {Row("k1", "Re: かきく", "2009/01/01"), Row("a1", "Re: あいう", "2009/01/01"), Row("k2", "Fw: かきく", "2009/01/02"),
        Row("a2", "Fw: あいう", "2009/01/02")},
       {"*a1", "a2", "*k1", "k2"}},
      {"rows without a subject take no part", {Row("e1", "", "2009/01/01"), Row("e2", "", "2009/01/02")}, {}},
      {"all distinct: nothing kept", {Row("p", "one", "2009/01/01"), Row("q", "two", "2009/01/01")}, {}},
  };
  for (const auto& c : cases) EXPECT_THAT(Groups(c.rows), ElementsAreArray(c.groups)) << c.what;
}

TEST_F(RelatedMailTest, KeptLinesCarryTheSubjectKeyAsANinthField) {
  RelatedMail r = RelateBySubject({Row("1", "Re: x", "d1"), Row("2", "Fw: x", "d2")}, *ja, ui, stop);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0], Row("1", "Re: x", "d1") + "\tx");
  EXPECT_TRUE(r.any_subject);
}

TEST_F(RelatedMailTest, NoSubjectAtAllIsToldApartFromNoGroup) {
  EXPECT_FALSE(RelateBySubject({Row("1", "", "d")}, *ja, ui, stop).any_subject);
  EXPECT_TRUE(RelateBySubject({Row("1", "a", "d")}, *ja, ui, stop).any_subject);
}

TEST_F(RelatedMailTest, AStopEndsTheLoop) {
  ui.on_pump = [&] { stop = ui.pumps == 2; };
  RelatedMail r = RelateBySubject({Row("1", "Re: x", "d1"), Row("2", "Fw: x", "d2"), Row("3", "x", "d3")}, *ja, ui, stop,
                                  std::chrono::milliseconds(0));
  EXPECT_TRUE(r.stopped);
  EXPECT_TRUE(r.lines.empty());
}

}  // namespace
}  // namespace plumex
