// The extraction walk over a fixture folder tree.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "search/extraction.h"
#include "store/tab_line.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class ExtractionTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::FakeUi ui;
  bool stop = false;

  void Write(const std::string& utf8_path, const std::vector<std::string>& utf8_lines) {
    auto file = dir.path() / utf8_path;
    std::filesystem::create_directories(file.parent_path());
    std::vector<std::string> lines;
    for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
    WriteLines(file, lines);
  }
  // A stored message whose body holds `body`.
  void Message(const std::string& utf8_path, const std::string& id, const std::string& subject, const std::string& body) {
    Write(utf8_path, {"Message-ID:" + id, "件名:" + subject, "差出人:taro@x", "日時:2009/09/08_12:34:56",
                      "ﾌｧｲﾙｻｲｽﾞ:1234", "-------------------", "本文です", body, body});
  }
  ExtractionResult Run(const std::string& key, std::chrono::milliseconds interval = std::chrono::milliseconds(0)) {
    return ExtractMessages(dir.path(), Utf8ToCp932("受信\\A\\"), Utf8ToCp932(key), ui, stop, interval);
  }
  static std::vector<std::string> Ids(const ExtractionResult& r) {
    std::vector<std::string> ids;
    for (const auto& row : r.rows) ids.push_back(Cp932ToUtf8(FieldOf(row, 0)));
    return ids;
  }

  void SetUp() override {
    Message("受信/A/body.txt", "<body@x>", "予定", "明日の INVOICE です");
    Message("受信/A/header.txt", "<header@x>", "Invoice の件", "なし");
    Message("受信/A/upper.TXT", "<upper@x>", "invoice", "invoice");         // not ".txt": not tested
    Message("受信/A/other.txt", "<other@x>", "別件", "関係なし");
    Message("受信/A/子/nested.txt", "<nested@x>", "子", "invoice");         // subfolders are walked
    Write("受信/A/Attachment/k/note.txt", {"invoice attached"});           // an attachment is no message
    Write("受信/A/MsgID.ini", {"<body@x>\tinvoice"});                        // nor is the index
    std::filesystem::create_symlink(dir.path() / "missing", dir.path() / "受信/A/broken.txt");  // unreadable
  }
};

TEST_F(ExtractionTest, OneRowPerMatchingMessageFileInTheTree) {
  ExtractionResult r = Run("invoice");
  EXPECT_FALSE(r.stopped);
  EXPECT_THAT(Ids(r), UnorderedElementsAre("<body@x>", "<header@x>", "<nested@x>"));
  // Header and body lines alike match; a file with several matching lines gives one row.
  auto nested = std::find_if(r.rows.begin(), r.rows.end(), [](const auto& row) { return FieldOf(row, 0) == "<nested@x>"; });
  ASSERT_NE(nested, r.rows.end());
  EXPECT_THAT(SplitTabLine(Cp932ToUtf8(*nested)),
              ElementsAre("<nested@x>", "子", "taro@x", "2009/09/08_12:34:56", "1234", "", "", "", "受信\\A\\子\\"));
  // The unreadable file was skipped and the walk went on; the progress counts the files tested.
  EXPECT_EQ(r.files_tested, 5u);
  EXPECT_EQ(ui.progress, 5);
}

TEST_F(ExtractionTest, ARowOfAFileWithoutPseudoHeaderHasEmptyColumns) {
  Write("受信/A/子/bare.txt", {"just an invoice"});
  ExtractionResult r = Run("INVOICE");
  auto bare = std::find_if(r.rows.begin(), r.rows.end(), [](const auto& row) { return FieldOf(row, 0).empty(); });
  ASSERT_NE(bare, r.rows.end());
  EXPECT_EQ(Cp932ToUtf8(*bare), "\t\t\t\t\t\t\t\t受信\\A\\子\\");
}

TEST_F(ExtractionTest, AStopEndsTheWalkAtOnce) {
  const struct {
    int stop_at_pump;
    size_t tested;
  } cases[] = {{1, 0}, {10, 0}, {12, 2}};  // nine entries are listed before the first file is tested
  for (const auto& c : cases) {
    stop = false;
    ui.pumps = 0;
    ui.on_pump = [&] {
      if (ui.pumps == c.stop_at_pump) stop = true;
    };
    ExtractionResult r = Run("invoice");
    EXPECT_TRUE(r.stopped) << c.stop_at_pump;
    EXPECT_EQ(r.files_tested, c.tested) << c.stop_at_pump;
    EXPECT_EQ(ui.pumps, c.stop_at_pump);
  }
}

TEST_F(ExtractionTest, AFolderWithoutMessageFilesFindsNothing) {
  // A send subfolder holds only its index.
  Write("受信/A/空/Send.ini", {"<s@x>\tinvoice"});
  ExtractionResult r = ExtractMessages(dir.path(), Utf8ToCp932("受信\\A\\空\\"), "invoice", ui, stop);
  EXPECT_TRUE(r.rows.empty());
  EXPECT_EQ(r.files_tested, 0u);
}


// The merge log of "送信" names every address a merge went to: it is no message of the folder.
TEST_F(ExtractionTest, TheMergeLogIsNoMessage) {
  Write("送信/差込ログ.txt", {"2009/09/08 12:34:56", "taro@x\t送信OK"});
  Message("送信/0sent@x9.txt", "<sent@x>", "送った", "宛先 taro@x");
  Write("送信/控え/差込ログ.txt", {"taro@x"});  // the name counts in the send root only
  ExtractionResult r = ExtractMessages(dir.path(), Utf8ToCp932("送信\\"), "taro@x", ui, stop);
  EXPECT_THAT(Ids(r), UnorderedElementsAre("<sent@x>", ""));
}

}  // namespace
}  // namespace plumex
