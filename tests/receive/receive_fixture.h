// A mail store with one account and the state a receive run works on, for the receive tests.
#pragma once

#include <string>
#include <vector>

#include "text/code_page.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/pop3_client.h"
#include "receive/receive_run.h"
#include "settings/account_list.h"
#include "store/store_layout.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex::test {

class ReceiveFixture {
 public:
  // nested: folders between the temporary directory and the mail root ("" for none).
  explicit ReceiveFixture(const std::string& account_line, const std::filesystem::path& nested = {}) {
    state.MailRoot = root.path() / nested;
    state.AccountList = {account_line};
    state.CurrentAccount = AccountRecord::Parse(account_line).name;
    state.CurrentFolderPath = AccountFolderPath(state.CurrentAccount);
    state.CurrentAccountDir = state.CurrentFolderPath;
    EnsureDirectory(Dir());
    state.CurrentIndex = FolderIndex::Open(Dir() / "MsgID.ini");
    state.ReceivedIds = ReceivedIdList::Open(Dir() / "AlreadMsgID.ini");
  }

  std::filesystem::path Dir() const { return ToNativePath(state.MailRoot, state.CurrentFolderPath); }
  std::filesystem::path Root() const { return state.MailRoot; }

  // One receive run; "中止" is pressed when message stop_at comes up (0: never).
  ReceiveResult Run(FakeUi& ui, std::vector<int> selected = {}, int stop_at = 0) {
    ConnectionOptions options;
    options.mail_root = state.MailRoot;
    options.read_timeout_seconds = 5;
    options.connect_timeout_seconds = 5;
    options.exchange_timeout_seconds = exchange_timeout_seconds;
    options.pump = [&ui] { ui.Pump(); };
    stop = false;
    options.stop_requested = [this] { return stop; };
    Pop3Client pop3(options);
    if (stop_at > 0) ui.on_pump = [&ui, this, stop_at] { if (ui.progress == stop_at) stop = true; };
    ReceiveSession session{state, rules, pop3, std::move(selected)};
    session.stop_requested = [this] { return stop; };
    ReceiveResult result = ReceiveMail(session, ui);
    ui.on_pump = nullptr;
    return result;
  }

  std::vector<std::string> IndexFileRows() const {
    std::vector<std::string> rows;
    ReadLines(Dir() / "MsgID.ini", rows);
    return rows;
  }

  TempDir root;
  int exchange_timeout_seconds = 120;
  MailboxState state;
  bool stop = false;  // "中止" of the run going on
  RuleList rules;
};

}  // namespace plumex::test
