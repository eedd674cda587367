// The compose commands without a window: OpenCompose, the checks of "メール送信", a failed
// send, completion from the address books, attachments, "返信先一時変更", reply and forward.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/clock.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "shell/account_commands.h"
#include "shell/compose.h"
#include "shell/mailto_address.h"
#include "shell/app_core.h"
#include "store/file_key.h"
#include "store/store_layout.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }
std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }

std::vector<std::string> U(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(Cp932ToUtf8(l));
  return out;
}

// A loopback port nobody listens on.
int ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

class ComposeTest : public ::testing::Test, public StoreFixture {
 protected:
  AppCore core{ui, root()};
  MainShell& shell = core.Shell();
  AccountCommands& accounts = core.Accounts();
  ComposeCommands& compose = core.Compose();

  // Accounts A and B (B in use, reply mark "|"), B's inbox with three messages.
  void Start(const std::string& smtp_port = "25") {
    WriteUtf8Lines("Account.ini",
                   {"A\tpop.a\tua\tpa\t127.0.0.1\ta@a.jp\t110\t" + smtp_port + "\t0\t>\t0\t0",
                    "B\tpop.b\tub\tpb\t127.0.0.1\t\"ビー\"b@b.jp\t110\t" + smtp_port + "\t0\t|\t0\t0"});
    WriteUtf8Lines("plumex.ini", {"[CurAccount]", "Position=B"});
    WriteUtf8Lines("受信/B/syomei.ini", {"--", "B: %SSdate% / %ssDATE%"});
    WriteRaw("受信/B/MsgID.ini",
             {Row("<plain@x>", "返信:会議", "<taro@x.jp>", "2009/03/01_10:00:00", "10", "2", "2"),
              Row("<named@x>", "named", "太郎 <taro@x.jp>", "2009/02/01_10:00:00", "10", "1", "2"),
              Row("<rt@x>", "rt", "<taro@x.jp>", "2009/01/01_10:00:00", "10", "2", "2")});
    WriteUtf8Lines("受信/B/" + MakeFileKey("<plain@x>") + ".txt",
                   {"差出人:<taro@x.jp>", "ReplyTo:", "-------------------", "一行目", "", "abc"});
    WriteUtf8Lines("受信/B/" + MakeFileKey("<named@x>") + ".txt", {"差出人:太郎", "-------------------", "本文"});
    WriteUtf8Lines("受信/B/Attachment/" + MakeFileKey("<named@x>") + "/表.csv", {"1,2"});
    WriteUtf8Lines("受信/B/Attachment/" + MakeFileKey("<named@x>") + "/a.txt", {"a"});
    WriteUtf8Lines("受信/B/" + MakeFileKey("<rt@x>") + ".txt",
                   {"差出人:<taro@x.jp>", "ReplyTo:reply@x.jp", "-------------------", "x"});
    shell.FormCreate();
    accounts.Editor().Open();
  }
  size_t RowOf(const std::string& id) {
    for (size_t r = 0; r < shell.List().Count(); ++r)
      if (shell.List().MessageId(r) == id) return r;
    ADD_FAILURE() << id;
    return 0;
  }
  void Select(const std::string& id) {
    const size_t row = RowOf(id);
    shell.List().SetSelection({row});
    shell.ShowMessage(row);
  }
  std::string Today() {
    const LocalDateTime t = ToLocal(NowSeconds());
    return Pad4(t.year) + "/" + Pad2(t.month) + "/" + Pad2(t.day);
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> out;
    for (const auto& m : ui.messages) out.push_back(m.text);
    return out;
  }
};

TEST_F(ComposeTest, OpenComposeRefillsTheWindowAndAddsTheSignature) {
  Start();
  ComposeContent& c = compose.Content();
  c.delay = "5";
  c.temp_reply_to = "old@x";
  c.merge = c.priority = c.read_receipt = true;
  c.merge_sheet = {"title", "row"};
  c.cc = "cc@x";
  c.bcc = "bcc@x";
  c.body = {"kept"};
  compose.OpenCompose(S("件名"), "to@x");
  EXPECT_THAT(U(c.senders), ElementsAre("a@a.jp", "\"ビー\"b@b.jp"));
  EXPECT_EQ(c.sender_index, 1);  // the account in use
  EXPECT_EQ(c.delay, "");
  EXPECT_EQ(c.temp_reply_to, "");
  EXPECT_FALSE(c.merge || c.priority || c.read_receipt);
  EXPECT_THAT(c.merge_sheet, IsEmpty());
  EXPECT_EQ(U(c.subject), "件名");
  EXPECT_EQ(c.to, "to@x");
  EXPECT_EQ(c.cc + c.bcc, "");
  // OpenCompose appends below what the body holds (a quote); "%SSdate%" in any case.
  EXPECT_THAT(U(c.body), ElementsAre("kept", "", "", "--", "B: " + Today() + " / " + Today()));
  EXPECT_EQ(ui.compose_shown, 1);

  // "メールの作成" starts from an empty body and attachment list.
  c.attachments = {"/tmp/x"};
  compose.NewMail();
  EXPECT_THAT(U(c.body), ElementsAre("", "", "--", "B: " + Today() + " / " + Today()));
  EXPECT_THAT(c.attachments, IsEmpty());
  EXPECT_EQ(c.subject + c.to, "");
}

TEST_F(ComposeTest, SendChecksInOrderAndKeepsTheWindow) {
  Start();
  struct Case {
    bool merge;
    std::vector<std::string> sheet;
    std::string to, subject;
    int sender;
    std::string message;
  } cases[] = {
      {true, {}, "", "", -1, "差し込むファイルが指定されていません"},
      {true, {"title only"}, "", "", -1, "差し込むファイルが指定されていません"},
      {false, {"t", "r"}, "", "", -1, "あて先が指定されていません"},
      {false, {}, "to@x", "", -1, "件名はマナーとして入れましょう"},
      {true, {"t", "r"}, "", "", -1, "件名はマナーとして入れましょう"},  // merging: no To needed
      {false, {}, "to@x", "s", -1, "送信元の情報に間違いがあります"},
      {false, {}, "to@x", "s", 2, "送信元の情報に間違いがあります"},
      // A recipient without an address is refused, named: a name alone, or "@" only as the
      // second byte of a double-byte character ("田中　さん" holds 0x81 0x40).
      {false, {}, S("田中さん"), "s", 1, "メールアドレスのないあて先があります。メールアドレスを入力してください。\r\n田中さん"},
      {false, {}, S("太郎 <taro@x.jp>, 田中　さん"), "s", 1,
       "メールアドレスのないあて先があります。メールアドレスを入力してください。\r\n田中　さん"},
      {false, {}, "@x.jp", "s", 1, "メールアドレスのないあて先があります。メールアドレスを入力してください。\r\n@x.jp"},
  };
  for (const Case& k : cases) {
    ComposeContent& c = compose.Content();
    c.merge = k.merge;
    c.merge_sheet = k.sheet;
    c.to = k.to;
    c.subject = k.subject;
    c.sender_index = k.sender;
    c.body = {"body"};
    c.attachments = {"/tmp/a"};
    ui.messages.clear();
    EXPECT_FALSE(compose.Send());
    EXPECT_THAT(Messages(), ElementsAre(k.message)) << k.message;
    EXPECT_THAT(c.body, ElementsAre("body"));
    EXPECT_THAT(c.attachments, ElementsAre("/tmp/a"));
  }
  EXPECT_EQ(ui.compose_hidden, 0);
  EXPECT_FALSE(std::filesystem::exists(At("送信/Send.ini")));
}

TEST_F(ComposeTest, FailedSendShowsTheErrorAndKeepsEverything) {
  Start(std::to_string(ClosedPort()));
  compose.NewMail();
  ComposeContent& c = compose.Content();
  c.to = "to@x";
  c.subject = "s";
  c.delay = "abc";  // not a number: sent at once
  c.attachments = {"/tmp/a"};
  const ComposeContent before = c;
  EXPECT_FALSE(compose.Send());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0].text, ::testing::HasSubstr("接続が拒否されました"));  // the protocol layer's words
  EXPECT_EQ(ui.status[1], "");
  EXPECT_EQ(ui.compose_hidden, 0);
  EXPECT_EQ(c.attachments, before.attachments);
  EXPECT_EQ(c.body, before.body);
  EXPECT_EQ(c.to, before.to);
  EXPECT_FALSE(std::filesystem::exists(At("送信/Send.ini")));
}

TEST_F(ComposeTest, CompletionFromEveryAddressBook) {
  Start();
  WriteUtf8Lines("Address/友人.adr", {"山田 太郎\ttaro@x.jp\t", "佐藤\tsato@x.jp\t", "Taro Big\tbig@x.jp"});
  WriteUtf8Lines("Address/仕事.adr", {"山田 太郎\ttaro@x.jp\t", "taro-only"});
  WriteUtf8Lines("Address/memo.txt", {"taro\tnot@book"});
  std::string pending;
  // Sorted, without duplicates, case-sensitive; a one-field line gives that field and ">".
  EXPECT_THAT(U(compose.Complete("taro", pending)), ElementsAre("taro-only>,", "\"山田 太郎\"<taro@x.jp>,"));
  EXPECT_THAT(compose.Complete("nobody", pending), IsEmpty());
  // An add button's pending text follows the chosen address once, then is gone.
  pending = "first@x";
  EXPECT_THAT(compose.Complete("nobody", pending), IsEmpty());
  EXPECT_EQ(pending, "first@x");  // nothing matched: still pending
  EXPECT_THAT(U(compose.Complete(S("佐藤"), pending)), ElementsAre("\"佐藤\"<sato@x.jp>,first@x"));
  EXPECT_EQ(pending, "");
  EXPECT_THAT(compose.Complete("", pending), IsEmpty());
}

TEST_F(ComposeTest, AttachmentsAndTemporaryReplyTo) {
  Start();
  compose.AddAttachment("/tmp/Doc.txt");
  compose.AddAttachment("/tmp/doc.TXT");  // another file: names differ by letter case
  compose.AddAttachment("/tmp/Doc.txt");  // the same file once
  compose.AddAttachment("/tmp/other.txt");
  EXPECT_THAT(compose.Content().attachments, ElementsAre("/tmp/Doc.txt", "/tmp/doc.TXT", "/tmp/other.txt"));

  ui.inputs = {std::string("new@x"), std::string(""), std::nullopt};
  compose.ChangeReplyTo();
  compose.ChangeReplyTo();  // empty answer: unchanged
  compose.ChangeReplyTo();  // cancel: unchanged
  EXPECT_EQ(compose.Content().temp_reply_to, "new@x");
  EXPECT_THAT(ui.input_defaults, ElementsAre("", "new@x", "new@x"));
  compose.OpenCompose("", "");
  EXPECT_EQ(compose.Content().temp_reply_to, "");
}

TEST_F(ComposeTest, ReplyQuotesWithTheReplyMark) {
  Start();
  compose.Reply();  // nothing selected: nothing happens
  EXPECT_EQ(ui.compose_shown, 0);
  EXPECT_EQ(compose.ReplyContextId(), "");

  struct Case {
    std::string id, to, subject;
  } cases[] = {
      {"<plain@x>", "taro@x.jp", "返信:返信:会議"},          // brackets removed, prefixes not merged
      {"<named@x>", "太郎 <taro@x.jp>", "返信:named"},       // a display name: used as listed
      {"<rt@x>", "reply@x.jp", "返信:rt"},                   // the stored ReplyTo wins
  };
  for (const Case& k : cases) {
    compose.Content().attachments = {"/tmp/a"};
    Select(k.id);
    compose.Reply();
    const ComposeContent& c = compose.Content();
    EXPECT_EQ(compose.ReplyContextId(), k.id);
    EXPECT_EQ(U(c.to), k.to);
    EXPECT_EQ(U(c.subject), k.subject);
    EXPECT_THAT(c.attachments, IsEmpty());
  }
  Select("<plain@x>");
  compose.Reply();
  const std::string sig = "B: " + Today() + " / " + Today();
  EXPECT_THAT(U(compose.Content().body),
              ElementsAre("", "", "-------------------ｵﾘｼﾞﾅﾙﾒｯｾｰｼﾞ-------------------", "|  一行目", "|  ",
                          "|  abc", "", "", "--", sig));
  compose.NewMail();  // a new message refers to nothing
  EXPECT_EQ(compose.ReplyContextId(), "");
}

// A row highlighted after another message was shown never mixes the two: recipient,
// subject, quote and attachments all come from the message on screen; with none on screen
// the chosen row is shown first.
TEST_F(ComposeTest, ReplyAndForwardTakeEverythingFromTheMessageOnScreen) {
  Start();
  Select("<plain@x>");
  shell.List().SetSelection({RowOf("<rt@x>")});
  compose.Reply();
  EXPECT_EQ(compose.ReplyContextId(), "<plain@x>");
  EXPECT_EQ(U(compose.Content().to), "taro@x.jp");
  EXPECT_EQ(U(compose.Content().subject), "返信:返信:会議");
  EXPECT_EQ(U(compose.Content().body[3]), "|  一行目");

  Select("<named@x>");
  shell.List().SetSelection({RowOf("<plain@x>")});
  compose.Forward();
  EXPECT_EQ(compose.ReplyContextId(), "<named@x>");
  EXPECT_EQ(U(compose.Content().subject), "転送:named");
  EXPECT_EQ(U(compose.Content().body[3]), "|  本文");
  EXPECT_EQ(compose.Content().attachments.size(), 2u);

  shell.ListFolderIndex(shell.State().CurrentIndex.Rows());  // nothing on screen now
  shell.List().SetSelection({RowOf("<rt@x>")});
  compose.Reply();
  EXPECT_EQ(shell.State().Viewer.shown_row.substr(0, 6), "<rt@x>");
  EXPECT_EQ(U(compose.Content().to), "reply@x.jp");
  EXPECT_EQ(U(compose.Content().body[3]), "|  x");
}

TEST_F(ComposeTest, ForwardAttachesTheStoredFiles) {
  Start();
  Select("<named@x>");
  compose.Content().attachments = {"/tmp/old"};
  compose.Forward();
  const ComposeContent& c = compose.Content();
  EXPECT_EQ(compose.ReplyContextId(), "<named@x>");
  EXPECT_EQ(U(c.subject), "転送:named");
  EXPECT_EQ(c.to, "");
  // Entries point into the store (code page 932 path texts).
  std::vector<std::filesystem::path> paths;
  for (const auto& a : c.attachments) paths.push_back(PathFromText(a));
  const auto dir = At("受信/B/Attachment") / MakeFileKey("<named@x>");
  EXPECT_THAT(paths, ::testing::UnorderedElementsAre(dir / "a.txt", dir / "表.csv"));
  EXPECT_EQ(U(c.body[3]), "|  本文");
}


// A reply quotes what the viewer shows: the text part of a mail that also holds HTML, the
// readable text of an HTML-only mail, never the HTML source.
TEST_F(ComposeTest, ReplyQuotesWhatTheViewerShows) {
  Start();
  WriteUtf8Lines("受信/B/" + MakeFileKey("<plain@x>") + ".txt",
                 {"差出人:<taro@x.jp>", "-------------------", "本文です", "", "<html><body><p>本文です</p></body></html>"});
  WriteUtf8Lines("受信/B/" + MakeFileKey("<rt@x>") + ".txt",
                 {"差出人:<taro@x.jp>", "-------------------", "<html><body><p>一段落</p><p>二段落</p></body></html>"});
  Select("<plain@x>");
  compose.Reply();
  EXPECT_THAT(U(compose.Content().body), ElementsAre("", "", "-------------------ｵﾘｼﾞﾅﾙﾒｯｾｰｼﾞ-------------------",
                                                     "|  本文です", "", "", "--", "B: " + Today() + " / " + Today()));
  Select("<rt@x>");
  compose.Forward();
  const std::vector<std::string> body = U(compose.Content().body);
  EXPECT_THAT(body, ::testing::IsSupersetOf({"|  一段落", "|  二段落"}));
  for (const auto& line : body) EXPECT_EQ(line.find('<'), std::string::npos) << line;
}

// Every refill of the compose window asks the port first; a cancel leaves what the window
// holds, its thread included.
TEST_F(ComposeTest, ACancelledRefillLeavesTheMessageBeingWritten) {
  Start();
  Select("<plain@x>");
  compose.Reply();
  compose.Content().body = {S("書きかけ")};
  const Threading thread = compose.CurrentThreading();
  ASSERT_EQ(thread.in_reply_to, "<plain@x>");
  const struct {
    const char* name;
    std::function<void()> refill;
  } paths[] = {
      {"new", [&] { EXPECT_FALSE(compose.NewMail()); }},
      {"reply", [&] { EXPECT_FALSE(compose.Reply()); }},
      {"forward", [&] { EXPECT_FALSE(compose.Forward()); }},
      {"reopen", [&] { core.Drafts().Reopen(RowOf("<rt@x>")); }},
      {"mailto", [&] { ComposeFromMailto(compose, ui, MailtoFields{"z@x", "", "", "s", {}}); }},
  };
  for (const auto& p : paths) {
    const int asked = ui.refill_questions;
    ui.refill_answers = {false};
    p.refill();
    EXPECT_EQ(ui.refill_questions, asked + 1) << p.name;
    EXPECT_THAT(U(compose.Content().body), ElementsAre("書きかけ")) << p.name;
    EXPECT_EQ(compose.CurrentThreading(), thread) << p.name;
  }
  EXPECT_TRUE(compose.NewMail());
  EXPECT_EQ(compose.CurrentThreading(), Threading{});
}

// A draft keeps the thread of the reply it holds; reopening it brings that thread back, and
// reopening anything else leaves no thread behind from an earlier reply.
TEST_F(ComposeTest, AReopenedDraftRestoresItsOwnThreadOnly) {
  Start();
  WriteUtf8Lines("受信/B/" + MakeFileKey("<plain@x>") + ".txt",
                 {"差出人:<taro@x.jp>", "References:<a@x> <b@x>", "-------------------", "x"});
  Select("<plain@x>");
  compose.Reply();
  const Threading reply{"<plain@x>", "<a@x> <b@x> <plain@x>"};
  EXPECT_EQ(compose.CurrentThreading(), reply);
  core.Drafts().Save(false);
  EXPECT_EQ(compose.CurrentThreading(), reply);

  // A received mail reopened: no thread of the reply before.
  shell.SelectReceiveNode(shell.ReceiveTree().FindByPath(S("受信\\B\\")));
  core.Drafts().Reopen(RowOf("<rt@x>"));
  EXPECT_EQ(compose.CurrentThreading(), Threading{});

  FolderTree& tree = shell.SendTree();
  for (size_t i = 0; i < tree.TopCount(); ++i)
    if (tree.Top(i)->FolderName() == DraftRootName()) shell.SelectSendNode(tree.Top(i));
  ASSERT_EQ(shell.List().Count(), 1u);
  core.Drafts().Reopen(0);
  EXPECT_EQ(compose.CurrentThreading(), reply);
  // A forward kept as a draft comes back as a forward: References without In-Reply-To.
  shell.SelectReceiveNode(shell.ReceiveTree().FindByPath(S("受信\\B\\")));
  Select("<plain@x>");
  compose.Forward();
  core.Drafts().Save(false);
  for (size_t i = 0; i < tree.TopCount(); ++i)
    if (tree.Top(i)->FolderName() == DraftRootName()) shell.SelectSendNode(tree.Top(i));
  ASSERT_EQ(shell.List().Count(), 2u);
  std::vector<Threading> reopened;
  for (size_t r = 0; r < 2; ++r) {
    core.Drafts().Reopen(r);
    reopened.push_back(compose.CurrentThreading());
  }
  EXPECT_THAT(reopened, ::testing::UnorderedElementsAre(reply, Threading{"", reply.references}));
}


// "送信" pressed again while the first send pumps the window (a double click) sends nothing
// more: one message goes out (here: is queued), not two.
TEST_F(ComposeTest, ASecondSendWhileOneRunsIsIgnored) {
  Start();
  compose.NewMail();
  ComposeContent& c = compose.Content();
  c.to = "to@x";
  c.subject = "s";
  c.delay = "5";
  int inner = 0;
  ui.on_pump = [&] {
    ++inner;
    EXPECT_FALSE(compose.Send());
  };
  EXPECT_TRUE(compose.Send());
  ui.on_pump = nullptr;
  EXPECT_GE(inner, 1);
  EXPECT_EQ(core.DelayedSend().Queue().Entries().size(), 1u);
}

}  // namespace
}  // namespace plumex::test
