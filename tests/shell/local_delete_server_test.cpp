// A message deleted locally while it is still on the server comes back with the next receive:
// against the real Dovecot of the test servers.
#include <gtest/gtest.h>

#include "shell/app_core.h"
#include "tests/protocol/servers_test.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

std::string Message(int n) {
  return "Message-ID: <refetch" + std::to_string(n) + "@x>\r\nFrom: a@x\r\nTo: me@x\r\nSubject: s" + std::to_string(n) +
         "\r\nDate: Tue, 08 Sep 2009 12:34:5" + std::to_string(n) + " +0900\r\n\r\nbody\r\n";
}

class LocalDeleteServer : public ServersTest {};

TEST_F(LocalDeleteServer, ADeletedMessageStillOnTheServerIsFetchedAgain) {
  servers->MakeMailbox("refetch", {Message(1), Message(2)});
  StoreFixture store;
  store.WriteRaw("Account.ini", {servers->AccountLine("受信箱", "refetch")});
  AppCore core(store.ui, store.root());
  core.Start();
  ASSERT_EQ(core.Receiving().Receive().new_count, 2) << testing::PrintToString(store.ui.Texts());

  std::vector<std::string> missing;
  auto rows = core.Messages().RowsOfFolder(core.State().CurrentFolderPath, {"<refetch1@x>"}, missing);
  ASSERT_EQ(rows.size(), 1u);
  core.Shell().ReceiveTree().Select(core.Shell().ReceiveTree().FindByPath(core.State().CurrentFolderPath));
  core.Messages().DeleteLocally(rows, true);  // FakeUi answers Yes
  EXPECT_FALSE(std::filesystem::exists(store.At("受信/受信箱/0refetch1@x9.txt")));

  ReceiveResult again = core.Receiving().Receive();
  EXPECT_EQ(again.new_count, 1);
  EXPECT_TRUE(std::filesystem::exists(store.At("受信/受信箱/0refetch1@x9.txt")));
}

}  // namespace
}  // namespace plumex::test
