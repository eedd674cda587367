// A mail store with one account and the state a receive run works on, for the receive tests.
#pragma once

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/pop3_client.h"
#include "receive/receive_run.h"
#include "settings/account_list.h"
#include "store/store_layout.h"
#include "tests/support/temp_dir.h"

namespace plumex::test {

// Records what the run shows; Pump can press "中止" at a chosen message.
class RecordingHooks : public ReceiveHooks {
 public:
  void Pump() override {
    ++pumps;
    if (stop_at_progress > 0 && last_progress == stop_at_progress && stop) *stop = true;
  }
  void SetProgress(int position, int) override {
    if (position > 0) last_progress = position;
  }
  void SetModeLabel(const std::string& text, std::uint32_t) override { mode = text; }
  void SetStatusText(int panel, const std::string& text) override {
    if (panel == 1) status = text;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskTrustCertificate(const std::string&) override { return trust; }
  void FolderReloaded() override {}
  void SelectAccountNode(const std::string&) override {}
  void RowFiled(const std::string& row) override { rows_shown.push_back(row); }
  void NewMailFiled(const FolderNewCounts& counts) override { new_counts = counts; }

  int pumps = 0;
  int last_progress = 0;
  int stop_at_progress = 0;
  bool* stop = nullptr;
  bool trust = false;
  std::string mode, status;
  std::vector<std::string> messages, rows_shown;
  FolderNewCounts new_counts;
};

class ReceiveFixture {
 public:
  explicit ReceiveFixture(const std::string& account_line) : account_list{account_line} {
    account = AccountRecord::Parse(account_line).name;
    folder = AccountFolderPath(account);
    account_dir = folder;
    EnsureDirectory(Dir());
    index = FolderIndex::Open(Dir() / "MsgID.ini");
    ids = ReceivedIdList::Open(Dir() / "AlreadMsgID.ini");
  }

  std::filesystem::path Dir() const { return ToNativePath(root.path(), folder); }
  std::filesystem::path Root() const { return root.path(); }

  ReceiveResult Run(RecordingHooks& hooks, std::vector<int> selected = {}) {
    ConnectionOptions options;
    options.mail_root = root.path();
    options.read_timeout_seconds = 5;
    options.connect_timeout_seconds = 5;
    Pop3Client pop3(options);
    ReceiveSession session;
    session.mail_root = root.path();
    session.account_list = &account_list;
    session.account_position = &position;
    session.current_account = &account;
    session.current_folder_path = &folder;
    session.current_account_dir = &account_dir;
    session.current_index = &index;
    session.received_ids = &ids;
    session.stop_requested = &stop;
    session.rules = &rules;
    session.pop3 = &pop3;
    session.selected_numbers = std::move(selected);
    hooks.stop = &stop;
    return ReceiveMail(session, hooks);
  }

  std::vector<std::string> IndexFileRows() const {
    std::vector<std::string> rows;
    ReadLines(Dir() / "MsgID.ini", rows);
    return rows;
  }

  TempDir root;
  std::vector<std::string> account_list;
  size_t position = 1;
  std::string account, folder, account_dir;
  FolderIndex index;
  ReceivedIdList ids;
  RuleList rules;
  bool stop = false;
};

}  // namespace plumex::test
