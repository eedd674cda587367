// Saving and overwriting the message on screen, importing a mailbox file and opening message
// files, through the application core on fixture stores.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "platform/store_path.h"
#include "protocol/parsed_message.h"
#include "shell/app_core.h"
#include "store/file_key.h"
#include "store/tab_line.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;

class MessageFilesTest : public ::testing::Test, public StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;
  void Start() {
    WriteUtf8Lines("Account.ini", {"A\tpop.a\tu\tp\tsmtp.a\ta@x\t110\t25\t0"});
    WriteRaw("受信/A/MsgID.ini", {Row("<one@x>", "one", "f", "2009/03/01_10:00:00", "10", "2", "2"),
                                  Row("<two@x>", "two", "f", "2009/02/01_10:00:00", "10", "2", "2")});
    WriteUtf8Lines("受信/A/" + MakeFileKey("<one@x>") + ".txt", {"差出人:f", "-------------------", "本文一"});
    WriteUtf8Lines("受信/A/" + MakeFileKey("<two@x>") + ".txt", {"差出人:f", "-------------------", "本文二"});
    core = std::make_unique<AppCore>(ui, root());
    ASSERT_TRUE(core->Start());
  }
};

TEST_F(MessageFilesTest, SaveAndOverwriteActOnTheMessageOnScreen) {
  Start();
  MessageFileCommands& files = core->MessageFiles();
  EXPECT_FALSE(files.MessageShown());
  core->Shell().ShowMessage(0);  // "one", the newest
  ASSERT_TRUE(files.MessageShown());
  ui.save_file = At("saved.txt");
  files.SaveShownMessage();
  EXPECT_EQ(ReadText("saved.txt"), Utf8ToCp932("差出人:f\r\n-------------------\r\n本文一\r\n"));

  // The keyboard moves the highlight to "two" without showing it: the edit still goes to "one".
  core->Shell().List().SetSelection({1});
  const auto rows_before = ReadText("受信/A/MsgID.ini");
  files.OverwriteShownMessage(Utf8ToCp932("差出人:f\r\n-------------------\r\n"), Utf8ToCp932("直した本文\r\n"));
  EXPECT_THAT(ReadUtf8Lines("受信/A/" + MakeFileKey("<one@x>") + ".txt"),
              ElementsAre("差出人:f", "-------------------", "直した本文"));
  EXPECT_THAT(ReadUtf8Lines("受信/A/" + MakeFileKey("<two@x>") + ".txt"),
              ElementsAre("差出人:f", "-------------------", "本文二"));
  EXPECT_EQ(ReadText("受信/A/MsgID.ini"), rows_before);  // the row is unchanged
}

// "メールを保存する" asks before it replaces a file; "メールを上書き保存する" writes back only a
// plain-text message, whose whole body is what the text view shows.
TEST_F(MessageFilesTest, SavingAsksBeforeReplacingAndHtmlMailIsNotOverwritten) {
  Start();
  MessageFileCommands& files = core->MessageFiles();
  core->Shell().ShowMessage(0);
  WriteRaw("saved.txt", {"keep"});
  ui.save_file = At("saved.txt");
  ui.answers = {MsgAnswer::No};
  files.SaveShownMessage();
  EXPECT_EQ(ReadText("saved.txt"), "keep\r\n");
  EXPECT_THAT(ui.Texts(), ElementsAre("同一ﾌｧｲﾙが存在します。上書きしますか？"));
  ui.answers = {MsgAnswer::Yes};
  files.SaveShownMessage();
  EXPECT_EQ(ReadText("saved.txt"), Utf8ToCp932("差出人:f\r\n-------------------\r\n本文一\r\n"));

  const std::string file = "受信/A/" + MakeFileKey("<two@x>") + ".txt";
  WriteUtf8Lines(file, {"差出人:f", "-------------------", "本文二", "", "<html><body>本文二</body></html>"});
  const std::string stored = ReadText(file);
  core->Shell().ShowMessage(1);
  EXPECT_FALSE(files.CanOverwriteShown());
  ui.messages.clear();
  files.OverwriteShownMessage(Utf8ToCp932("差出人:f\r\n-------------------\r\n"), Utf8ToCp932("直した\r\n"));
  EXPECT_EQ(ReadText(file), stored);
  ASSERT_EQ(ui.Texts().size(), 1u);
  EXPECT_NE(ui.Texts()[0].find("HTML"), std::string::npos);
}

TEST_F(MessageFilesTest, MailboxImportFilesEveryKindOnce) {
  Start();
  const std::string mailbox =
      // multipart with an attachment
      "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\nTo: a@x\r\nSubject: multi\r\n"
      "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\nMessage-Id: <multi@example.jp>\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\nThis is a multi-part message in MIME format.\r\n"
      "--b\r\nContent-Type: text/plain; charset=US-ASCII\r\n\r\nhello\r\n"
      "--b\r\nContent-Type: text/plain; name=\"a.txt\"\r\nContent-Disposition: attachment; filename=\"a.txt\"\r\n\r\n"
      "attached\r\n--b--\r\n.\r\n"
      // single part
      "From: b@example.jp\r\nReply-To: r@example.jp\r\nSubject: single\r\nDate: Wed, 09 Sep 2009 10:00:00 +0900\r\n"
      "Message-Id: <single@example.jp>\r\n\r\nplain body\r\n.\r\n"
      // no Message-Id
      "From: c@example.jp\r\nSubject: no id\r\nDate: Thu, 10 Sep 2009 10:00:00 +0900\r\n\r\nno id body\r\n.\r\n"
      // a date nobody can read
      "From: d@example.jp\r\nSubject: bad date\r\nDate: someday\r\nMessage-Id: <bad-date@example.jp>\r\n\r\n"
      "x\r\n.\r\n";
  WriteFileAtomic(At("box.mbx"), mailbox);
  ImportResult result = core->MessageFiles().ImportMailbox(At("box.mbx"));
  EXPECT_EQ(result.messages, 4);
  EXPECT_EQ(result.filed, 4);
  EXPECT_EQ(ui.Texts().back(), "読み込み 4件、登録 4件\r\n完了");
  const auto rows = ReadUtf8Lines("受信/A/becky/MsgID.ini");
  ASSERT_EQ(rows.size(), 4u);
  for (const auto& row : rows) EXPECT_EQ(FieldOf(row, 3).size(), 19u) << row;  // every row has a date
  const auto multi = ReadUtf8Lines("受信/A/becky/" + MakeFileKey("<multi@example.jp>") + ".txt");
  EXPECT_THAT(multi, testing::Contains("ReplyTo:山田 <yamada@example.jp>"));  // decoded; no Reply-To: the sender
  EXPECT_THAT(multi, testing::Contains("hello"));
  EXPECT_EQ(ReadText("受信/A/becky/Attachment/" + MakeFileKey("<multi@example.jp>") + "/a.txt"), "attached");
  EXPECT_THAT(ReadUtf8Lines("受信/A/becky/" + MakeFileKey("<single@example.jp>") + ".txt"),
              testing::Contains("ReplyTo:r@example.jp"));
  EXPECT_NE(core->Shell().ReceiveTree().FindByPath(Utf8ToCp932("受信\\A\\becky\\")), nullptr);

  result = core->MessageFiles().ImportMailbox(At("box.mbx"));  // a second import adds nothing
  EXPECT_EQ(result.filed, 0);
  EXPECT_EQ(ui.Texts().back(), "読み込み 4件、登録 0件、登録済みのため省略 4件\r\n完了");
  EXPECT_EQ(ReadUtf8Lines("受信/A/becky/MsgID.ini").size(), 4u);
}

TEST_F(MessageFilesTest, ImportWithoutAnAccountIsRefused) {
  core = std::make_unique<AppCore>(ui, root());
  ASSERT_TRUE(core->Start());
  WriteFileAtomic(At("box.mbx"), "From: a@x\r\n\r\nx\r\n.\r\n");
  EXPECT_FALSE(core->Run([&] { core->MessageFiles().ImportMailbox(At("box.mbx")); }));
  EXPECT_EQ(ui.Texts().back(), "メールを取り込むアカウントがありません。");
}

TEST_F(MessageFilesTest, OpeningThreeFilesFilesAllThree) {
  Start();
  std::vector<std::filesystem::path> files;
  for (int n = 1; n <= 3; ++n) {
    const std::string k = std::to_string(n);
    WriteFileAtomic(At("m" + k + ".eml"), "From: s@x\r\nSubject: opened " + k + "\r\nMessage-ID: <open" + k +
                                              "@x>\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n");
    files.push_back(At("m" + k + ".eml"));
  }
  EXPECT_EQ(core->Receiving().OpenMessageFiles(files), 3);
  EXPECT_EQ(ReadUtf8Lines("受信/A/MsgID.ini").size(), 5u);
  EXPECT_EQ(ui.status[0], "5件");
  EXPECT_EQ(core->State().ReceivedIds.Ids().Lines().size(), 3u);
}

// "メールを開く" names the file that failed and why, and files none of the files after it.
TEST_F(MessageFilesTest, AFileThatCannotBeOpenedIsNamedWithItsCause) {
  struct Case {
    const char* what;
    std::function<void()> arrange;  // makes At("bad.eml") fail
    std::vector<std::string> says;  // beside the headline and the file name
  };
  const std::string bad = At("bad.eml").string();
  const Case cases[] = {
      {"missing", [] {}, {"ファイルを読み込めませんでした。", "ファイルまたはフォルダがありません"}},
      {"a folder", [&] { std::filesystem::create_directories(At("bad.eml")); }, {"ファイルではない"}},
      {"unreadable",
       [&] {
         WriteFileAtomic(At("bad.eml"), "From: a@x\r\n\r\nx\r\n");
         std::filesystem::permissions(At("bad.eml"), std::filesystem::perms::none);
       },
       {"アクセスが許可されていません"}},
      // Larger than any message may be (a sparse file: nothing is written, nothing read).
      {"too large",
       [&] {
         WriteFileAtomic(At("bad.eml"), "From: a@x\r\n\r\nx\r\n");
         std::filesystem::resize_file(At("bad.eml"), kMaxMessageBytes + 1);
       },
       {"ファイルが大きすぎるため読み込みませんでした"}},
      // The store cannot take the message (a full disk fails the same way): the index file the
      // filing writes is named with the system's reason.
      {"a store file that cannot be written",
       [&] {
         WriteFileAtomic(At("bad.eml"), "From: a@x\r\nMessage-ID: <bad@x>\r\n\r\nx\r\n");
         std::filesystem::remove(At("受信/A/MsgID.ini"));
         std::filesystem::create_directories(At("受信/A/MsgID.ini/inner"));
       },
       {"ファイルに書き込めませんでした", "MsgID.ini", "フォルダです"}},
  };
  for (const Case& c : cases) {
    if (std::string(c.what) == "unreadable" && ::geteuid() == 0) continue;  // root reads every file
    core.reset();
    std::filesystem::remove_all(root());
    Start();
    WriteFileAtomic(At("after.eml"), "From: a@x\r\nMessage-ID: <after@x>\r\n\r\nx\r\n");
    c.arrange();
    ui.messages.clear();
    EXPECT_EQ(core->Receiving().OpenMessageFiles({At("bad.eml"), At("after.eml")}), -1) << c.what;
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    const std::string& text = ui.messages[0].text;
    EXPECT_EQ(text.rfind("EMLファイルの読み込みに失敗しました。\r\n", 0), 0u) << c.what << ": " << text;
    EXPECT_NE(text.find(bad), std::string::npos) << c.what << ": " << text;
    for (const std::string& part : c.says) EXPECT_NE(text.find(part), std::string::npos) << c.what << ": " << text;
    EXPECT_FALSE(core->State().ReceivedIds.Contains("<after@x>")) << c.what;
  }
}

// A message whose characters code page 932 lacks: the viewer, the list, the text preview, reply
// and forward all carry them as sent, while its message file holds substitutes.
TEST_F(MessageFilesTest, AnOpenedMessageShowsAndAnswersAsSent) {
  Start();
  const std::string bytes =
      "From: =?UTF-8?B?7ZWc6rWt?= <k@x>\r\nTo: a@x\r\nSubject: =?UTF-8?B?5Lya6K2w8J+YgA==?=\r\n"
      "Message-ID: <sent@x>\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain; charset=UTF-8\r\n"
      "Content-Transfer-Encoding: 8bit\r\n\r\n안녕 😀\r\n--b\r\nContent-Type: text/plain\r\n"
      "Content-Disposition: attachment; filename=\"note.txt\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
      "7ZWc6rWt7Ja0IPCfmIANCg==\r\n--b--\r\n";
  WriteFileAtomic(At("sent.eml"), bytes);
  ASSERT_EQ(core->Receiving().OpenMessageFiles({At("sent.eml")}), 1);
  MainShell& shell = core->Shell();
  std::optional<size_t> row;
  for (size_t r = 0; r < shell.List().Count(); ++r)
    if (shell.List().MessageId(r) == "<sent@x>") row = r;
  ASSERT_TRUE(row);
  // Its size is that of its body, all its parts, as for a single-part message.
  const size_t body_size = bytes.size() - bytes.find("\r\n\r\n") - 4;
  EXPECT_EQ(shell.List().Column(*row, kColSize), std::to_string(body_size));
  EXPECT_EQ(Cp932ToUtf8(shell.ShownColumn(*row, kColSubject).value_or("")), "会議😀");
  EXPECT_EQ(Cp932ToUtf8(shell.ShownColumn(*row, kColCorrespondent).value_or("")), "한국 <k@x>");
  shell.ShowMessage(*row);
  const ViewerContent& v = core->State().Viewer;
  EXPECT_NE(Cp932ToUtf8(v.header_text).find("件名:会議😀\r\n"), std::string::npos);
  EXPECT_NE(Cp932ToUtf8(v.header_text).find("差出人:한국 <k@x>\r\n"), std::string::npos);
  EXPECT_EQ(Cp932ToUtf8(v.text_view), "안녕 😀\r\n\r\n");  // as the message file lays it out
  ASSERT_EQ(v.preview, ViewerContent::Preview::Text);
  EXPECT_EQ(Cp932ToUtf8(v.preview_text), "한국어 😀\r\n");
  // The message file keeps code page 932 text.
  EXPECT_THAT(ReadUtf8Lines("受信/A/" + MakeFileKey("<sent@x>") + ".txt"), ::testing::Contains("件名:会議?"));

  core->Compose().Reply();
  const ComposeContent& c = core->Compose().Content();
  EXPECT_EQ(Cp932ToUtf8(c.subject), "返信:会議😀");
  EXPECT_THAT(c.body, ::testing::Contains(::testing::EndsWith(Utf8ToCp932("  안녕 😀"))));
  core->Compose().ForwardAsAttachment();
  EXPECT_EQ(Cp932ToUtf8(c.subject), "転送:会議😀");
  EXPECT_TRUE(c.body.empty());
  ASSERT_EQ(c.attachments.size(), 1u);
  EXPECT_EQ(ReadFileBytes(PathFromText(c.attachments[0])).value_or(""), bytes);

  // Overwritten by hand, the message file is what shows from then on, what was typed included.
  const std::string header = core->State().Viewer.header_text;
  core->MessageFiles().OverwriteShownMessage(header, Utf8ToCp932("直した? 🍰\r\n"));
  shell.ShowMessage(*row);
  EXPECT_EQ(Cp932ToUtf8(core->State().Viewer.text_view), "直した? 🍰\r\n");
}

TEST_F(MessageFilesTest, SubjectSearchFindsAnEmojiAsTyped) {
  Start();
  for (const auto& [id, word] : {std::pair{"cake", "8J+NsA=="}, std::pair{"smile", "8J+YgA=="}}) {
    WriteFileAtomic(At(std::string(id) + ".eml"), std::string("From: s@x\r\nSubject: =?UTF-8?B?") + word +
                                                        "?=\r\nMessage-ID: <" + id +
                                                        "@x>\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nb\r\n");
    ASSERT_EQ(core->Receiving().OpenMessageFiles({At(std::string(id) + ".eml")}), 1);
  }
  const MessageList& list = core->Shell().List();
  ui.inputs.push_back("😀");
  ui.answers = {MsgAnswer::No, MsgAnswer::No};  // a miss ends the search instead of starting over
  core->Search().SearchSubject();
  ASSERT_FALSE(ui.chosen_rows.empty());
  ASSERT_GE(ui.chosen_rows.back(), 0);
  EXPECT_EQ(list.MessageId(static_cast<size_t>(ui.chosen_rows.back())), "<smile@x>");
}

}  // namespace
}  // namespace plumex::test
