// Receive runs against scripted servers that send hostile mail or hostile replies: what
// reached the server and what reached the disk. No message may block the mail behind it,
// overwrite another, grow the index at every run, or be deleted on the server unfiled.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "text/code_page.h"
#include "platform/file_write_error.h"
#include "text/sjis_text.h"
#include "port/error_text.h"
#include "store/file_key.h"
#include "store/message_file_key.h"
#include "store/row_delete.h"
#include "store/row_move.h"
#include "store/tab_line.h"
#include "tests/protocol/fake_server.h"
#include "tests/receive/receive_fixture.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string AccountLine(int port, bool delete_after_receive = false) {
  return "acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(port) + "\t25\t" + (delete_after_receive ? "-1" : "0");
}

std::string Mail(const std::string& id_header, const std::string& body, const std::string& extra_headers = "") {
  return id_header + "From: a@x\r\nSubject: s\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n" + extra_headers + "\r\n" +
         body + "\r\n";
}

std::string HeaderOf(const std::string& mail) { return mail.substr(0, mail.find("\r\n\r\n") + 4); }

// Log-in, STAT and LIST of the given sizes (the LIST lines as given).
std::vector<FakeStep> Login(int count, const std::string& list_reply) {
  return {{"", "+OK ready\r\n"},
          {"CAPA", "+OK\r\nUSER\r\nTOP\r\n.\r\n"},
          {"USER me", "+OK\r\n"},
          {"PASS pw", "+OK\r\n"},
          {"STAT", "+OK " + std::to_string(count) + " 500\r\n"},
          {"LIST", list_reply}};
}

std::string ListOf(const std::vector<std::string>& mails) {
  std::string reply = "+OK\r\n";
  for (size_t i = 0; i < mails.size(); ++i) reply += std::to_string(i + 1) + " " + std::to_string(mails[i].size()) + "\r\n";
  return reply + ".\r\n";
}

void Fetch(std::vector<FakeStep>& steps, int n, const std::string& mail) {
  steps.push_back({"TOP " + std::to_string(n) + " 0", "+OK\r\n" + HeaderOf(mail) + ".\r\n"});
  steps.push_back({"RETR " + std::to_string(n), "+OK\r\n" + mail + ".\r\n"});
}

// Serves the mails (TOP and RETR each), then QUIT; returns the run's result.
ReceiveResult Serve(test::ReceiveFixture& store, test::FakeUi& ui, std::unique_ptr<FakeServer>& server,
                    std::vector<FakeStep> steps) {
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  server = std::make_unique<FakeServer>(steps);
  store.state.AccountList = {AccountLine(server->port())};
  ReceiveResult result = store.Run(ui);
  server->Join();
  return result;
}

size_t LongestNativeName(const std::filesystem::path& dir) {
  size_t longest = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    longest = std::max(longest, entry.path().filename().string().size());
  return longest;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(HostileMail, LongIdsAndAttachmentNamesAreFiledAndTheMailBehindThemToo) {
  const std::string kanji = Utf8ToCp932("漢");
  const std::string kana = Utf8ToCp932("ｶ");
  // The name: 100 kanji as an encoded word.
  std::string name_utf8 = Repeat("漢", 100) + ".pdf";
  std::string encoded = "=?UTF-8?B?";
  {
    static const char* b64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string& in = name_utf8;
    for (size_t i = 0; i < in.size(); i += 3) {
      unsigned v = static_cast<unsigned char>(in[i]) << 16;
      if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
      if (i + 2 < in.size()) v |= static_cast<unsigned char>(in[i + 2]);
      encoded += b64[(v >> 18) & 63];
      encoded += b64[(v >> 12) & 63];
      encoded += i + 1 < in.size() ? b64[(v >> 6) & 63] : '=';
      encoded += i + 2 < in.size() ? b64[v & 63] : '=';
    }
    encoded += "?=";
  }
  const std::string with_attachment = Mail(
      "Message-ID: <" + Repeat(kanji, 100) + "@x>\r\n", "--b\r\nContent-Type: text/plain\r\n\r\ntext\r\n--b\r\n"
      "Content-Type: application/pdf\r\nContent-Disposition: attachment; filename=\"" + encoded +
      "\"\r\nContent-Transfer-Encoding: base64\r\n\r\nJVBERg==\r\n--b--",
      "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n");
  const std::vector<std::string> mails = {
      with_attachment,
      Mail("Message-ID: <" + Repeat(kana, 150) + "@x>\r\n", "kana"),
      Mail("Message-ID: <" + Repeat("\xE9", 190) + "@x>\r\n", "raw"),
      Mail("Message-ID: <harmless@x>\r\n", "harmless"),
  };
  std::vector<FakeStep> steps = Login(4, ListOf(mails));
  for (size_t i = 0; i < mails.size(); ++i) Fetch(steps, static_cast<int>(i + 1), mails[i]);
  test::ReceiveFixture store(AccountLine(0));
  test::FakeUi ui;
  std::unique_ptr<FakeServer> server;
  ReceiveResult result = Serve(store, ui, server, steps);
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  EXPECT_FALSE(result.error.has_value()) << Cp932ToUtf8(result.error->text());
  EXPECT_EQ(result.new_count, 4);
  EXPECT_TRUE(FileExists(store.Dir() / "0harmless@x9.txt"));
  // Every name leaves room for ".txt", "(n)" and the temporary suffix of an atomic write.
  EXPECT_LE(LongestNativeName(store.Dir()), 210u);
  for (const auto& row : store.IndexFileRows()) {
    const std::string key = MakeFileKey(FieldOf(row, 0));
    EXPECT_EQ(MakeFileKey(key), key);
    EXPECT_TRUE(FileExists(store.Dir() / NativeName(key + ".txt"))) << Cp932ToUtf8(key);
  }
}

// A message whose file the file system refuses (here its path passes PATH_MAX, as a long name
// does on a file system with a shorter limit) is left on the server with a warning naming it;
// the mail behind it is filed and deleted as asked.
TEST(HostileMail, AMessageThatCannotBeFiledIsSkippedAndTheRunGoesOn) {
  const std::string long_id = "<" + std::string(150, 'l') + "@x>";
  const std::vector<std::string> mails = {Mail("Message-ID: <m1@x>\r\n", "1"),
                                          Mail("Message-ID: " + long_id + "\r\n", "2"),
                                          Mail("Message-ID: <m3@x>\r\n", "3")};
  std::vector<FakeStep> steps = Login(3, ListOf(mails));
  Fetch(steps, 1, mails[0]);
  steps.push_back({"DELE 1", "+OK\r\n"});
  Fetch(steps, 2, mails[1]);
  Fetch(steps, 3, mails[2]);
  steps.push_back({"DELE 3", "+OK\r\n"});
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  FakeServer server(steps);
  // Folders deep enough that the inbox's path is about 3,990 bytes long.
  const size_t base = test::TempDir().path().string().size() + std::string("/受信/acc/").size();
  std::filesystem::path nested;
  size_t length = base;
  for (; length + 201 < 3990; length += 201) nested /= std::string(200, 'd');
  nested /= std::string(3990 - length - 1, 'd');
  test::ReceiveFixture store(AccountLine(server.port(), true), nested);
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  for (const auto& command : server.received()) EXPECT_NE(command, "DELE 2");
  EXPECT_FALSE(result.error.has_value()) << Cp932ToUtf8(result.error->text());
  EXPECT_EQ(result.new_count, 2);
  ASSERT_EQ(result.skipped.size(), 1u);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_NE(ui.messages.back().text.find(long_id), std::string::npos) << ui.messages.back().text;
  EXPECT_EQ(ui.messages.back().icon, MsgIcon::Warning);
  EXPECT_EQ(store.IndexFileRows().size(), 2u);
  EXPECT_FALSE(store.state.ReceivedIds.Contains(long_id));
  EXPECT_TRUE(store.state.ReceivedIds.Contains("<m3@x>"));
}

TEST(HostileMail, ControlCharactersInAMessageIdNeverReachTheRowOrTheFetchedList) {
  const std::vector<std::string> mails = {Mail("Message-ID: <cr\rsplit@x>\r\n", "cr"),
                                          Mail("Message-ID: <folded\r\n\t@x>\r\n", "tab")};
  std::vector<FakeStep> steps = Login(2, ListOf(mails));
  Fetch(steps, 1, mails[0]);
  Fetch(steps, 2, mails[1]);
  test::ReceiveFixture store(AccountLine(0));
  test::FakeUi ui;
  std::unique_ptr<FakeServer> server;
  Serve(store, ui, server, steps);
  const auto rows = store.IndexFileRows();
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& row : rows) EXPECT_EQ(SplitTabLine(row).size(), 8u) << row;
  EXPECT_TRUE(store.state.ReceivedIds.Contains("<crsplit@x>"));
  EXPECT_TRUE(store.state.ReceivedIds.Contains("<folded@x>"));
  std::vector<std::string> ids;
  ReadLines(store.Dir() / "AlreadMsgID.ini", ids);
  EXPECT_EQ(ids.size(), 2u);

  // The next run finds both fetched: headers only, nothing filed, the index as it was.
  std::vector<FakeStep> again = Login(2, ListOf(mails));
  again.push_back({"TOP 1 0", "+OK\r\n" + HeaderOf(mails[0]) + ".\r\n"});
  again.push_back({"TOP 2 0", "+OK\r\n" + HeaderOf(mails[1]) + ".\r\n"});
  test::FakeUi ui2;
  ReceiveResult result = Serve(store, ui2, server, again);
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  EXPECT_EQ(result.new_count, 0);
  EXPECT_EQ(store.IndexFileRows().size(), 2u);
}

TEST(HostileMail, IdsThatShareAFileKeyNeverOverwriteEachOther) {
  const std::vector<std::string> ids = {"<victim@example.test>", "<victim@example.test >", "<\"victim@example.test\">"};
  std::vector<std::string> mails;
  for (size_t i = 0; i < ids.size(); ++i) mails.push_back(Mail("Message-ID: " + ids[i] + "\r\n", "body " + std::to_string(i)));
  std::vector<FakeStep> steps = Login(3, ListOf(mails));
  for (size_t i = 0; i < mails.size(); ++i) Fetch(steps, static_cast<int>(i + 1), mails[i]);
  test::ReceiveFixture store(AccountLine(0));
  test::FakeUi ui;
  std::unique_ptr<FakeServer> server;
  ReceiveResult result = Serve(store, ui, server, steps);
  EXPECT_EQ(result.new_count, 3);
  std::set<std::string> keys;
  for (size_t i = 0; i < ids.size(); ++i) {
    // Each row's id leads to its own file, holding its own body.
    const std::string key = FileKeyInFolder(store.Dir(), ids[i]);
    keys.insert(key);
    const std::string text = ReadFileBytes(store.Dir() / NativeName(key + ".txt")).value_or("");
    EXPECT_NE(text.find("body " + std::to_string(i)), std::string::npos) << ids[i];
    EXPECT_NE(text.find("Message-ID:" + ids[i] + "\r\n"), std::string::npos) << ids[i];
  }
  EXPECT_EQ(keys.size(), 3u);
  EXPECT_TRUE(keys.count(MakeFileKey(ids[0])));  // the first keeps the plain key

  // Moving the second away and deleting the third take their own files, never the first's;
  // the moved one is found in its new folder by its id.
  auto row_of = [&](const std::string& id) {
    for (const auto& row : store.IndexFileRows())
      if (row.rfind(id + "\t", 0) == 0) return row;
    return std::string();
  };
  SortedLineList index(store.IndexFileRows());
  const auto other = store.Dir() / "other";
  std::filesystem::create_directories(other);
  MoveSource source{&index, store.Dir() / "MsgID.ini", store.Dir()};
  MoveTarget target{other / "MsgID.ini", other};
  const MoveResult moved = MoveRows({row_of(ids[1])}, source, target, MoveOptions{});
  ASSERT_EQ(moved.moved_ids.size(), 1u);
  DeletePlace place{&index, store.Dir() / "MsgID.ini", store.Dir()};
  ASSERT_EQ(DeleteRows({row_of(ids[2])}, place).deleted_ids.size(), 1u);
  auto body_in = [](const std::filesystem::path& dir, const std::string& id) {
    const std::string text = ReadFileBytes(dir / NativeName(FileKeyInFolder(dir, id) + ".txt")).value_or("");
    return text.find("Message-ID:" + id + "\r\n") == std::string::npos ? std::string() : text;
  };
  EXPECT_NE(body_in(store.Dir(), ids[0]).find("body 0"), std::string::npos);
  EXPECT_NE(body_in(other, ids[1]).find("body 1"), std::string::npos);
  EXPECT_EQ(body_in(store.Dir(), ids[2]), "");
}

// A RETR far longer than LIST announced is cut off: the connection closes with a clear
// message, the message is neither filed nor deleted, nothing after it is asked for.
TEST(HostileMail, AReplyLongerThanAnnouncedIsCutOff) {
  const std::string mail = Mail("Message-ID: <big@x>\r\n", "x");
  std::string endless = "+OK\r\n" + HeaderOf(mail);
  const std::string line(998, 'x');
  while (endless.size() < 4 * 1024 * 1024) endless += line + "\r\n";
  std::vector<FakeStep> steps = Login(2, "+OK\r\n1 100\r\n2 100\r\n.\r\n");
  steps.push_back({"TOP 1 0", "+OK\r\n" + HeaderOf(mail) + ".\r\n"});
  steps.push_back({"RETR 1", endless});
  FakeServer server(steps);
  test::ReceiveFixture store(AccountLine(server.port(), true));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  server.Join();
  ASSERT_TRUE(result.error.has_value());
  EXPECT_EQ(result.error->kind(), ErrorKind::Protocol);
  EXPECT_NE(Cp932ToUtf8(result.error->text()).find("長すぎる"), std::string::npos) << Cp932ToUtf8(result.error->text());
  EXPECT_EQ(result.new_count, 0);
  for (const auto& command : server.received()) {
    EXPECT_NE(command, "DELE 1");
    EXPECT_NE(command, "TOP 2 0");
  }
  EXPECT_TRUE(store.IndexFileRows().empty());
}

// LIST is for display: refused, garbled or negative, the messages are filed with the length
// of what RETR brought.
TEST(HostileMail, ABrokenListAnswerDoesNotStopReceiving) {
  const std::vector<std::string> mails = {Mail("Message-ID: <l1@x>\r\n", "one"), Mail("Message-ID: <l2@x>\r\n", "two"),
                                          Mail("Message-ID: <l3@x>\r\n", "three")};
  std::vector<FakeStep> steps = Login(3, "-ERR not now\r\n");
  const char* const list_replies[] = {"+OK 1 -5\r\n", "garbage\r\n", "-ERR no such message\r\n"};
  for (int n = 1; n <= 3; ++n) {
    steps.push_back({"TOP " + std::to_string(n) + " 0", "+OK\r\n" + HeaderOf(mails[n - 1]) + ".\r\n"});
    steps.push_back({"LIST " + std::to_string(n), list_replies[n - 1]});
    steps.push_back({"RETR " + std::to_string(n), "+OK\r\n" + mails[n - 1] + ".\r\n"});
  }
  test::ReceiveFixture store(AccountLine(0));
  test::FakeUi ui;
  std::unique_ptr<FakeServer> server;
  ReceiveResult result = Serve(store, ui, server, steps);
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  EXPECT_FALSE(result.error.has_value()) << Cp932ToUtf8(result.error->text());
  EXPECT_EQ(result.new_count, 3);
  for (const auto& row : store.IndexFileRows()) {
    const std::string id = FieldOf(row, 0);
    const size_t n = static_cast<size_t>(id[2] - '0');
    EXPECT_EQ(FieldOf(row, 4), std::to_string(mails[n - 1].size())) << row;
  }
}

// A folder where the index file should be is named in the error; nothing is read as a file.
TEST(HostileMail, AFolderWhereTheIndexShouldBeIsNamed) {
  test::ReceiveFixture store(AccountLine(test::ClosedPort()));
  std::filesystem::remove(store.Dir() / "MsgID.ini");
  std::filesystem::create_directories(store.Dir() / "MsgID.ini" / "inner");
  test::FakeUi ui;
  try {
    store.Run(ui);
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::LocalFile);
    const std::string text = Cp932ToUtf8(e.text());
    EXPECT_NE(text.find("受信/acc/MsgID.ini"), std::string::npos) << text;
  }
  EXPECT_TRUE(std::filesystem::is_directory(store.Dir() / "MsgID.ini" / "inner"));
}

// Error texts are code page 932 throughout: a path of the store reads as it is named.
TEST(HostileMail, ErrorTextsShowJapanesePathsUngarbled) {
  const std::filesystem::path path = std::filesystem::path("/tmp") / "受信" / "アカウント" / "MsgID.ini";
  const FileWriteError write = FileWriteError::ForPath(path);
  const std::filesystem::filesystem_error fs("x", path, std::make_error_code(std::errc::read_only_file_system));
  for (const std::string& text : {write.text(), AsAppError(fs).text(), ErrorText(fs)})
    EXPECT_NE(Cp932ToUtf8(text).find("/tmp/受信/アカウント/MsgID.ini"), std::string::npos) << Cp932ToUtf8(text);
}


// A part with a Content-ID is recorded with the file it was saved as, for the HTML view's "cid:"
// pictures; a folded or hostile Content-ID stays on one pseudo-header line.
TEST(HostileMail, ContentIdsOfSavedPartsAreKeptOnOneLineEach) {
  test::ReceiveFixture store(AccountLine(1));
  test::FakeUi ui;
  const std::string mail = Mail("Message-ID: <cid@x>\r\n",
                                "--b\r\nContent-Type: text/html\r\n\r\n<html><img src=\"cid:pic@x\"></html>\r\n"
                                "--b\r\nContent-Type: image/png; name=\"logo.png\"\r\nContent-ID:\r\n <pic@x>\r\n"
                                "Content-Transfer-Encoding: base64\r\n\r\niVBORw0KGgo=\r\n"
                                "--b\r\nContent-Type: image/png; name=\"evil.png\"\r\nContent-ID: <a\tb\x01" "c@x>\r\n\r\nx\r\n--b--",
                                "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=b\r\n");
  std::unique_ptr<FakeServer> server;
  std::vector<FakeStep> steps = Login(1, ListOf({mail}));
  Fetch(steps, 1, mail);
  ASSERT_EQ(Serve(store, ui, server, steps).new_count, 1);
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(store.Dir() / (MakeFileKey("<cid@x>") + ".txt"), lines));
  std::vector<std::string> ids;
  for (const auto& l : lines)
    if (l.rfind("Content-ID:", 0) == 0) ids.push_back(l);
  EXPECT_EQ(ids, (std::vector<std::string>{"Content-ID:<pic@x>\tlogo.png", "Content-ID:<abc@x>\tevil.png"}));
}

}  // namespace
}  // namespace plumex
