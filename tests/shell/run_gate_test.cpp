// One command that pumps at a time. Every pumping command started from inside another one's
// wait (as a click or a timer would while the window breathes) is refused or waits for its
// next tick, and the store the first run writes ends exactly as it would have alone. A stop
// belongs to the run it was pressed in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/text_file.h"
#include "receive/forward_queue.h"
#include "shell/app_core.h"
#include "store/file_key.h"
#include "store/index_row.h"
#include "store/tab_line.h"
#include "tests/protocol/fake_server.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/test_mail.h"

namespace plumex::test {
namespace {

std::string Mail(int n) { return test::NumberedMail(n, "s" + std::to_string(n)); }

// The POP3 dialogue of a receive of two messages kept on the server.
std::vector<FakeStep> TwoMessages() {
  std::vector<FakeStep> steps = Pop3Login(2);
  for (int n = 1; n <= 2; ++n) {
    const std::string m = Mail(n), k = std::to_string(n);
    steps.push_back({"TOP " + k + " 0", "+OK\r\n" + m.substr(0, m.find("\r\n\r\n") + 4) + ".\r\n"});
    steps.push_back({"RETR " + k, "+OK\r\n" + m + ".\r\n"});
  }
  steps.push_back({"QUIT", "+OK\r\n", 0, true});
  return steps;
}

// Every file of the store with its bytes.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), root).string()] = ReadFileBytes(entry.path()).value_or("?");
  return files;
}

class GateStore : public StoreFixture {
 public:
  std::unique_ptr<AppCore> core;
  // pop_port: where the account's POP3 server listens.
  void Start(int pop_port) {
    WriteUtf8Lines("Account.ini", {"A\t127.0.0.1\tme\tpw\t127.0.0.1\ta@x\t" + std::to_string(pop_port) + "\t" +
                                   std::to_string(ClosedPort()) + "\t0"});
    WriteRaw("受信/A/MsgID.ini", {Row("<one@x>", "one", "f", "2009/03/01_10:00:00", "10", "2", "2")});
    WriteUtf8Lines("受信/A/" + MakeFileKey("<one@x>") + ".txt", {"差出人:f", "-------------------", "本文一"});
    const std::string box = Mail(7) + ".\r\n" + Mail(8) + ".\r\n";
    WriteFileAtomic(At("box.mbx"), box);
    WriteFileAtomic(At("other.mbx"), Mail(9) + ".\r\n");
    WriteFileAtomic(At("one.eml"), Mail(5));
    core = std::make_unique<AppCore>(ui, root());
    ASSERT_TRUE(core->Start());
  }
};

struct Command {
  const char* name;
  std::function<void(AppCore&, const std::filesystem::path& root)> start;
};

// Every command that pumps, as the window or a timer starts it.
const std::vector<Command>& PumpingCommands() {
  static const std::vector<Command> commands = {
      {"receive", [](AppCore& c, auto&) { c.MailCheck().ReceiveAndForward(); }},
      {"send",
       [](AppCore& c, auto&) {
         ComposeContent& content = c.Compose().Content();
         content.to = "b@y";
         content.subject = "s";
         content.sender_index = 0;
         c.Compose().Send();
       }},
      {"server listing", [](AppCore& c, auto&) { c.ServerDelete().EnterDeleteMode(); }},
      {"new-mail tick", [](AppCore& c, auto&) { c.MailCheck().Tick(); }},
      {"queue tick", [](AppCore& c, auto&) { c.DelayedSend().Tick(); }},
      {"import", [](AppCore& c, auto& root) { c.MessageFiles().ImportMailbox(root / "other.mbx"); }},
      {"rules", [](AppCore& c, auto&) { c.Receiving().ApplyRules(); }},
      {"search walk", [](AppCore& c, auto&) { c.Search().Extract(std::string("body")); }},
      {"related", [](AppCore& c, auto&) { c.Search().RelatedExtract(); }},
      {"maintenance", [](AppCore& c, auto&) { c.Messages().RepairStore(); }},
      {"open files", [](AppCore& c, auto& root) { c.Receiving().OpenMessageFiles({root / "one.eml"}); }},
  };
  return commands;
}

struct Outer {
  const char* name;
  bool needs_server;
  std::function<void(AppCore&, const std::filesystem::path& root)> run;
};

// The store after `outer` alone, and after `outer` with `inner` started at its first pump.
std::map<std::string, std::string> StoreAfter(const Outer& outer, const Command* inner, std::vector<std::string>& texts) {
  GateStore store;
  std::optional<FakeServer> server;
  if (outer.needs_server) server.emplace(TwoMessages());
  store.Start(server ? server->port() : ClosedPort());
  bool started = false;
  store.ui.on_pump = [&] {
    if (!inner || std::exchange(started, true)) return;
    store.core->Run([&] { inner->start(*store.core, store.root()); });
  };
  store.core->Run([&] { outer.run(*store.core, store.root()); });
  store.ui.on_pump = nullptr;
  if (server) {
    server->Join();
    EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  }
  texts = store.ui.Texts();
  auto files = Snapshot(store.root());
  files.erase("Account.ini");  // written by the window's shutdown only, not by these commands
  return files;
}

TEST(RunGate, APumpingCommandStartedInsideAnotherIsRefusedAndChangesNothing) {
  const std::vector<Outer> outers = {
      {"receive", true, [](AppCore& c, auto&) { c.Receiving().Receive(); }},
      {"import", false, [](AppCore& c, auto& root) { c.MessageFiles().ImportMailbox(root / "box.mbx"); }},
      {"rules", false, [](AppCore& c, auto&) { c.Receiving().ApplyRules(); }},
      {"open files", false, [](AppCore& c, auto& root) { c.Receiving().OpenMessageFiles({root / "one.eml"}); }},
  };
  for (const Outer& outer : outers) {
    std::vector<std::string> alone_texts;
    const auto alone = StoreAfter(outer, nullptr, alone_texts);
    for (const Command& inner : PumpingCommands()) {
      SCOPED_TRACE(std::string(outer.name) + " <- " + inner.name);
      std::vector<std::string> texts;
      EXPECT_EQ(StoreAfter(outer, &inner, texts), alone);
      // Nothing the nested command would have said (a failed connection, its own result)
      // besides the one notice of the compose window, which is not greyed with the rest.
      std::vector<std::string> extra;
      for (const std::string& t : texts)
        if (std::find(alone_texts.begin(), alone_texts.end(), t) == alone_texts.end()) extra.push_back(t);
      if (std::string(inner.name) == "send") EXPECT_THAT(extra, ::testing::ElementsAre(::testing::HasSubstr("実行中")));
      else EXPECT_TRUE(extra.empty()) << testing::PrintToString(extra);
    }
  }
}

// "中止" ends the run going on and nothing after it; a stop meant for the new-mail check
// ("終了") leaves a command the user started alone.
TEST(RunGate, AStopBelongsToTheRunItWasPressedIn) {
  GateStore store;
  store.Start(ClosedPort());
  AppCore& core = *store.core;
  store.ui.on_pump = [&] { core.MailCheck().Finish(); };
  core.Run([&] { core.MessageFiles().ImportMailbox(store.root() / "box.mbx"); });
  EXPECT_EQ(FolderIndex::Open(store.At("受信/A/becky/MsgID.ini")).Size(), 2u);  // not stopped

  store.ui.on_pump = [&] { core.Receiving().StopReceiving(); };  // "中止" at the first message
  core.Run([&] { core.MessageFiles().ImportMailbox(store.root() / "other.mbx"); });
  EXPECT_THAT(store.ui.messages.back().text, ::testing::HasSubstr("中止しました。"));
  EXPECT_EQ(FolderIndex::Open(store.At("受信/A/becky/MsgID.ini")).Size(), 3u);  // what was done is kept

  store.ui.on_pump = nullptr;  // the next run starts clean
  EXPECT_EQ(core.Receiving().OpenMessageFiles({store.root() / "one.eml"}), 1);
  EXPECT_FALSE(core.Shell().Gate().Busy());
}

// The account a run files into can be neither deleted, renamed nor replaced while it runs.
TEST(RunGate, TheAccountWindowLeavesTheAccountOfARunAlone) {
  FakeServer server(TwoMessages());
  GateStore store;
  store.Start(server.port());
  AppCore& core = *store.core;
  core.Accounts().Editor().Open();
  std::vector<std::string> refusals;
  bool tried = false;
  store.ui.on_pump = [&] {
    if (std::exchange(tried, true)) return;
    AccountEditor& editor = core.Accounts().Editor();
    refusals.push_back(editor.Delete().message);
    editor.form().name = "B";
    refusals.push_back(editor.Save().message);
    editor.form().name = "A";
  };
  core.Run([&] { core.Receiving().Receive(); });
  server.Join();
  ASSERT_EQ(refusals.size(), 2u);
  for (const std::string& text : refusals) EXPECT_NE(Cp932ToUtf8(text).find("処理中"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(store.At("受信/A/" + MakeFileKey("<m1@x>") + ".txt")));
  EXPECT_EQ(FolderIndex::Open(store.At("受信/A/MsgID.ini")).Size(), 3u);
  EXPECT_EQ(core.State().CurrentAccount, Utf8ToCp932("A"));
}

// A receive files through the inbox index it read itself: a row marked on screen meanwhile
// keeps its mark, and the rows the run added come to the screen from disk when it ends.
TEST(RunGate, AReceiveAddsItsRowsToTheIndexAsItIsOnDisk) {
  FakeServer server(TwoMessages());
  GateStore store;
  store.Start(server.port());
  AppCore& core = *store.core;
  bool marked = false;
  store.ui.on_pump = [&] {
    if (std::exchange(marked, true)) return;
    core.Shell().List().SetSelection({0});
    core.Shell().MarkSelected("2");  // "既読にする" on the row on screen
  };
  core.Run([&] { core.Receiving().Receive(); });
  server.Join();
  const FolderIndex index = FolderIndex::Open(store.At("受信/A/MsgID.ini"));
  ASSERT_EQ(index.Size(), 3u);
  const auto one = FindRow(index, "<one@x>");
  ASSERT_TRUE(one);
  EXPECT_EQ(FieldOf(index.Rows().Lines()[*one], IndexRow::kMark), "2");
  EXPECT_EQ(core.State().CurrentIndex.Size(), 3u);
  EXPECT_EQ(core.Shell().List().Count(), 3u);
}

}  // namespace
}  // namespace plumex::test
