// The full-text index: the same rows as the walk of every file for a table of keys, kept exact
// while messages are filed, moved, deleted and rewritten, and rebuilt when damaged or killed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "search/extraction.h"
#include "search/index_text.h"
#include "search/indexed_search.h"
#include "search/text_index.h"
#include "store/tab_line.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using std::chrono::milliseconds;

class TextIndexTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::FakeUi ui;
  bool stop = false;
  std::filesystem::path root;

  void SetUp() override {
    root = dir.path() / "store";
    setenv("XDG_CACHE_HOME", (dir.path() / "cache").c_str(), 1);
    std::filesystem::create_directories(root);
    // One message file per idea; raw CP932 bytes where the encoding is the point.
    Message("受信/A/meeting.txt", "<m1@x>", "会議室の予約", "来週の会議は第二会議室です");
    Message("受信/A/circled.txt", "<m2@x>", "①番の件", "丸数字①②③");
    Raw("受信/A/taka_ibm.txt", "<m3@x>", "\xFB\xFC\x8B\xB4さん");             // 髙橋 (IBM extension)
    Raw("受信/A/taka_nec.txt", "<m4@x>", "\xEE\xE0\x8B\xB4さん");             // 髙橋 (NEC selection)
    Raw("受信/A/saki_nec.txt", "<m5@x>", "\xED\x95\x8E\x52さん");             // 﨑山
    Message("受信/A/kana.txt", "<m6@x>", "ｶﾞｲﾄﾞﾌﾞｯｸ", "ｶﾀｶﾅ ﾃｽﾄ");
    Message("受信/A/ascii.txt", "<m7@x>", "Invoice No.7", "please pay the INVOICE");
    Message("受信/A/wide.txt", "<m8@x>", "ＡＢＣ社", "全角のＡです");
    Message("受信/A/narrow.txt", "<m9@x>", "ABC社", "半角のAです");
    Message("受信/A/lines.txt", "<m10@x>", "改行", "一行目の行末\r\n次の行の頭");
    Message("受信/A/子/nested.txt", "<m11@x>", "Re: 会議室の予約", "了解しました。会議室");
    Message("受信/B/other.txt", "<m12@x>", "別口座", "会議室の予約を取り消します");
    Message("送信/sent.txt", "<m13@x>", "送った会議室の予約", "送信済み");
    Message("受信/A/with_attachment.txt", "<m14@x>", "添付あり", "資料を送ります");
    Write("受信/A/Attachment/with_attachment/見積書類.pdf", "%PDF 見積書類");
    Write("受信/A/Attachment/k/note.txt", "会議室の予約 in an attachment is no message");
    Write("一時保存/draft.txt", "会議室の予約 draft");
  }

  void Write(const std::string& utf8_path, const std::string& cp932_bytes) {
    auto file = root / utf8_path;
    std::filesystem::create_directories(file.parent_path());
    WriteFileAtomic(file, cp932_bytes, false);
  }
  void Message(const std::string& utf8_path, const std::string& id, const std::string& subject, const std::string& body) {
    Write(utf8_path, Utf8ToCp932("Message-ID:" + id + "\r\n件名:" + subject +
                                 "\r\n差出人:taro@x\r\n日時:2009/09/08_12:34:56\r\nﾌｧｲﾙｻｲｽﾞ:1\r\n"
                                 "-------------------\r\n" + body + "\r\n"));
  }
  void Raw(const std::string& utf8_path, const std::string& id, const std::string& cp932_body) {
    Write(utf8_path, "Message-ID:" + id + "\r\n-------------------\r\n" + cp932_body + "\r\n");
  }

  ExtractionResult Scan(const std::string& folder, const std::string& cp932_key) {
    return ExtractMessages(root, Utf8ToCp932(folder), cp932_key, ui, stop, milliseconds(0));
  }
  ExtractionResult Indexed(const std::string& folder, const std::string& cp932_key,
                           SearchWay way = SearchWay::IndexWhenPresent) {
    return FindMessages(root, Utf8ToCp932(folder), cp932_key, ui, stop, way, milliseconds(0));
  }
  void Build() { ASSERT_NE(TextIndex::Rebuild(root, ui, stop, milliseconds(0)), nullptr); }

  // Every key of the table gives the walk's rows, in the walk's order, through the index.
  void ExpectSameAsScan(const std::vector<std::string>& cp932_keys) {
    for (const std::string& folder : {"受信\\A\\", "受信\\", "送信\\"}) {
      for (const std::string& key : cp932_keys) {
        ExtractionResult scanned = Scan(folder, key);
        ExtractionResult indexed = Indexed(folder, key);
        EXPECT_EQ(indexed.rows, scanned.rows) << folder << " " << Cp932ToUtf8(key);
        EXPECT_LE(indexed.files_tested, scanned.files_tested) << Cp932ToUtf8(key);
      }
    }
  }
  static std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    for (const char* utf8 : {"会議室の予約", "会議", "①", "①②③", "Invoice", "INVOICE", "invoice", "ＡＢＣ", "ａｂｃ",
                             "Ａ", "ABC", "ｶﾞｲﾄﾞ", "ｶﾞ", "行末\r\n次", "行末次", "見積書類", "了解しました", "予約を取り消"})
      keys.push_back(Utf8ToCp932(utf8));
    for (const char* raw : {"\xFB\xFC", "\xEE\xE0", "\xFB\xFC\x8B\xB4\x82\xB3", "\xEE\xE0\x8B\xB4\x82\xB3", "\xED\x95",
                            "\xFA\xB1\x8E\x52\x82\xB3", "\xED\x95\x8E\x52\x82\xB3"})
      keys.push_back(raw);
    return keys;
  }
};

TEST_F(TextIndexTest, KeysGiveTheRowsOfTheWalk) {
  Build();
  ExpectSameAsScan(Keys());
  // A key of three characters or more reads only the files that may hold it.
  ExtractionResult r = Indexed("受信\\", Utf8ToCp932("予約を取り消"));
  EXPECT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.files_tested, 1u);
  // The same matches, whether the two forms of 髙 were typed one way or the other: the walk
  // tells them apart by their bytes and so does the index's answer.
  EXPECT_EQ(Indexed("受信\\A\\", "\xFB\xFC\x8B\xB4").rows.size(), 1u);
}

TEST_F(TextIndexTest, KeysTheIndexCannotServe) {
  EXPECT_FALSE(KeyTrigrams(Utf8ToCp932("会議")));
  EXPECT_FALSE(KeyTrigrams(Utf8ToCp932("行末\r\n次")));
  EXPECT_FALSE(KeyTrigrams("\x82"));  // a lead byte without its trail
  ASSERT_TRUE(KeyTrigrams(Utf8ToCp932("会議室の")));
  EXPECT_EQ(KeyTrigrams(Utf8ToCp932("会議室の"))->size(), 2u);
}

TEST_F(TextIndexTest, WithoutAnIndexTheWalkAnswersAndBuildingIsAskedFor) {
  ExpectSameAsScan({Utf8ToCp932("会議室の予約")});
  EXPECT_FALSE(TextIndex::Status(root).exists);
  ExtractionResult built = Indexed("受信\\", Utf8ToCp932("会議室の予約"), SearchWay::BuildIndex);
  EXPECT_EQ(built.rows, Scan("受信\\", Utf8ToCp932("会議室の予約")).rows);
  IndexStatus status = TextIndex::Status(root);
  EXPECT_TRUE(status.ready);
  EXPECT_EQ(status.messages, 14);
  // The cache is the user's alone.
  EXPECT_EQ(std::filesystem::status(status.file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(std::filesystem::status(status.file.parent_path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
}

TEST_F(TextIndexTest, FilingMovingDeletingAndRewritingKeepItExact) {
  Build();
  const std::vector<std::string> keys = {Utf8ToCp932("会議室の予約"), Utf8ToCp932("新しい議題"), Utf8ToCp932("書き直し")};
  // Filed.
  Message("受信/A/new.txt", "<n1@x>", "新しい議題", "会議室の予約について");
  Message("受信/A/新フォルダ/deep.txt", "<n2@x>", "新しい議題", "深いところ");
  ExpectSameAsScan(keys);
  // Moved to another folder: the row follows the file, nothing is read again.
  const long long before = TextIndex::Status(root).messages;
  std::filesystem::rename(root / "受信/A/new.txt", root / "受信/B/new.txt");
  ExpectSameAsScan(keys);
  EXPECT_EQ(TextIndex::Status(root).messages, before);
  EXPECT_EQ(TextIndex::Status(root).stale, 0);
  // Deleted, a whole folder too.
  std::filesystem::remove(root / "受信/A/meeting.txt");
  std::filesystem::remove_all(root / "受信/A/新フォルダ");
  ExpectSameAsScan(keys);
  EXPECT_EQ(TextIndex::Status(root).messages, before - 2);
  // Rewritten in place (a repair writes a new file over the old one).
  Message("受信/A/ascii.txt", "<m7@x>", "書き直し", "会議室の予約");
  ExpectSameAsScan(keys);
  // Rows of messages gone only propose candidates no row names.
  EXPECT_GT(TextIndex::Status(root).stale, 0);
}

TEST_F(TextIndexTest, RowsOfDeletedMessagesAreShedOnceTheyOutnumberTheMessages) {
  for (int i = 0; i < 1100; ++i) Message("受信/A/一時/" + std::to_string(i) + ".txt", "<t" + std::to_string(i) + "@x>", "t", "x");
  Build();
  std::filesystem::remove_all(root / "受信/A/一時");
  ExpectSameAsScan({Utf8ToCp932("会議室の予約")});
  EXPECT_EQ(TextIndex::Status(root).stale, 1100);
  // A search that may build the index builds it anew, without them.
  ExtractionResult built = Indexed("受信\\", Utf8ToCp932("会議室の予約"), SearchWay::BuildIndex);
  EXPECT_EQ(built.rows, Scan("受信\\", Utf8ToCp932("会議室の予約")).rows);
  EXPECT_EQ(TextIndex::Status(root).stale, 0);
  EXPECT_TRUE(TextIndex::Status(root).ready);
}

TEST_F(TextIndexTest, ADamagedIndexIsThrownAwayAndBuiltAgain) {
  Build();
  const auto file = TextIndex::FileFor(root);
  {
    std::ofstream garbage(file, std::ios::binary | std::ios::trunc);
    garbage << std::string(8192, 'x');
  }
  EXPECT_FALSE(TextIndex::Status(root).ready);
  // A search with the index asked for goes on with the walk and leaves no damaged file.
  ExpectSameAsScan({Utf8ToCp932("会議室の予約")});
  EXPECT_FALSE(std::filesystem::exists(file));
  ExtractionResult built = Indexed("受信\\", Utf8ToCp932("会議室の予約"), SearchWay::BuildIndex);
  EXPECT_EQ(built.rows, Scan("受信\\", Utf8ToCp932("会議室の予約")).rows);
  EXPECT_TRUE(TextIndex::Status(root).ready);
}

// Stops the process for good in the middle of the build, once it has indexed some files.
class HangingUi : public test::FakeUi {
 public:
  explicit HangingUi(int fd) : fd_(fd) {}
  void SetProgress(int position, int maximum) override {
    if (position >= 60 && maximum > 0) {
      char c = 'k';
      (void)!::write(fd_, &c, 1);
      for (;;) ::pause();
    }
  }

 private:
  int fd_;
};

TEST_F(TextIndexTest, AnIndexKilledWhileBuildingIsFoundUnfinishedAndCompleted) {
  for (int i = 0; i < 150; ++i)
    Message("受信/A/many/" + std::to_string(i) + ".txt", "<many" + std::to_string(i) + "@x>", "大量",
            i % 7 == 0 ? "会議室の予約" : "その他");
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    HangingUi hanging(fds[1]);
    bool no_stop = false;
    TextIndex::Rebuild(root, hanging, no_stop, milliseconds(0));
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(fds[0], &c, 1), 1);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(fds[0]);
  ::close(fds[1]);
  ASSERT_TRUE(WIFSIGNALED(status));

  IndexStatus killed = TextIndex::Status(root);
  EXPECT_TRUE(killed.exists);
  EXPECT_FALSE(killed.ready);
  // An unfinished index is not asked; the walk answers.
  ExpectSameAsScan({Utf8ToCp932("会議室の予約")});
  ExtractionResult built = Indexed("受信\\", Utf8ToCp932("会議室の予約"), SearchWay::BuildIndex);
  EXPECT_EQ(built.rows, Scan("受信\\", Utf8ToCp932("会議室の予約")).rows);
  EXPECT_TRUE(TextIndex::Status(root).ready);
  EXPECT_EQ(TextIndex::Status(root).messages, 164);
}

TEST_F(TextIndexTest, AStopEndsTheBuildAndTheNextOneGoesOn) {
  ui.on_pump = [&] {
    if (ui.pumps >= 5) stop = true;
  };
  EXPECT_EQ(TextIndex::OpenOrBuild(root, ui, stop, milliseconds(0)), nullptr);
  EXPECT_FALSE(TextIndex::Status(root).ready);
  ui.on_pump = nullptr;
  stop = false;
  EXPECT_NE(TextIndex::OpenOrBuild(root, ui, stop, milliseconds(0)), nullptr);
  ExpectSameAsScan({Utf8ToCp932("会議室の予約")});
}

}  // namespace
}  // namespace plumex
