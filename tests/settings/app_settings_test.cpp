#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "settings/profile_file.h"
#include "settings/stored_bool.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(AppSettings, MissingFileGivesDefaults) {
  test::TempDir dir;
  AppSettings s = AppSettings::Load(dir.path());
  EXPECT_EQ(s.current_account, "");
  EXPECT_EQ(s.column_subject, 300);
  EXPECT_EQ(s.column_from, 200);
  EXPECT_EQ(s.column_date, 130);
  EXPECT_EQ(s.column_size, 75);
  EXPECT_EQ(s.tree_pane_width, 180);
  EXPECT_EQ(s.bottom_pane_height, 60);
  EXPECT_EQ(s.form_width, 600);
  EXPECT_EQ(s.form_height, 600);
  EXPECT_FALSE(s.header_on);
  EXPECT_FALSE(s.start_password);
}

TEST(AppSettings, SavesEveryKeyAndReadsItBack) {
  test::TempDir dir;
  AppSettings s;
  s.current_account = Sjis("仕事用");
  s.form_width = -1;
  s.form_height = -1;
  s.header_on = true;
  s.column_size = 90;
  s.Save(dir.path());
  std::string text = *ReadFileBytes(dir.path() / "plumex.ini");
  EXPECT_NE(text.find("[CurAccount]\r\nPosition=" + Sjis("仕事用") + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Form]\r\nWidth=-1\r\nHeight=-1\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Header]\r\nON=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Start]\r\nPass=0\r\n"), std::string::npos);

  AppSettings again = AppSettings::Load(dir.path());
  EXPECT_EQ(again.current_account, Sjis("仕事用"));
  EXPECT_TRUE(again.maximised());
  EXPECT_TRUE(again.header_on);
  EXPECT_EQ(again.column_size, 90);
}

TEST(AppSettings, ReadsForeignValuesLeniently) {
  test::TempDir dir;
  WriteLines(dir.path() / "plumex.ini",
             {"[header]", "on = 5", "[ListView]", "Columns2=wide", "[Other]", "Keep=me", "[Form]", "Width=-1"});
  AppSettings s = AppSettings::Load(dir.path());
  EXPECT_TRUE(s.header_on);         // any non-zero number is true; names ignore case
  EXPECT_EQ(s.column_subject, 300);  // not a number: the default
  EXPECT_TRUE(s.maximised());
  s.Save(dir.path());
  EXPECT_EQ(ProfileFile::Load(dir.path() / "plumex.ini").ReadString("Other", "Keep", ""), "me");
}

TEST(StoredBool, ReadingRule) {
  struct Case {
    const char* text;
    bool value;
  };
  const Case cases[] = {{"-1", true}, {"0", false}, {"1", true}, {"True", true}, {"true", true},
                        {"False", false}, {"", false}, {"x", false}, {"2", true}};
  for (const auto& c : cases) EXPECT_EQ(ParseStoredBool(c.text), c.value) << c.text;
  EXPECT_EQ(StoredBoolText(true), "-1");
  EXPECT_EQ(StoredBoolText(false), "0");
}

}  // namespace
}  // namespace plumex
