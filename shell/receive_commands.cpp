#include "shell/receive_commands.h"

#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/filing.h"
#include "store/folder_label.h"
#include "store/store_layout.h"

namespace plumex {

ReceiveCommands::ReceiveCommands(MainShell& shell, RuleList& rules) : shell_(shell), rules_(rules) {}

ReceiveResult ReceiveCommands::Receive(std::vector<int> selected) {
  if (receiving_) return {};  // one run at a time
  MainState& s = shell_.State();
  receiving_ = true;
  ReceiveSession session{s, rules_, shell_.Pop3(), std::move(selected)};
  session.forwarding = forward_queue_ && forwarding_ && forwarding_();
  session.forward_queue = forward_queue_;
  ReceiveResult result;
  try {
    result = ReceiveMail(session, shell_.Ui());
  } catch (...) {
    receiving_ = false;
    s.ViewMode = ViewModes::Normal;
    throw;
  }
  receiving_ = false;
  s.ViewMode = ViewModes::Normal;
  ShowRunResult(result);
  return result;
}

void ReceiveCommands::ShowRunResult(const ReceiveResult& result) {
  MainState& s = shell_.State();
  if (result.folder_switched) {
    // The inbox is on screen now: the receive tree is the one in use and highlights it.
    s.ActiveTree = Trees::Receive;
    if (FolderNode* node = shell_.ReceiveTree().FindByPath(AccountFolderPath(s.CurrentAccount)))
      shell_.ReceiveTree().Select(node);
  }
  if (result.new_count > 0) NewMailFiled(result.folder_new_counts);
  else if (!s.CurrentFolderPath.empty()) shell_.ListFolderIndex(s.CurrentIndex.Rows());
  // A connect failure was shown by the run itself; a run cut short after connecting says so.
  if (result.connected && result.error) shell_.Ui().MessageBox(ReceiveCutShortText(result), MsgIcon::Error);
}

void ReceiveCommands::StopReceiving() {
  MainState& s = shell_.State();
  s.StopRequested = true;
  shell_.DisconnectPop3();
  s.ViewMode = ViewModes::Normal;
  shell_.Ui().SetModeLabel(Sjis("通常"), kModeAqua);
  // The folder on screen is listed again unless a run is still unwinding; it lists at its end.
  if (!receiving_ && !s.CurrentFolderPath.empty()) shell_.ListFolderIndex(s.CurrentIndex.Rows());
  shell_.Ui().SetStatusText(1, "");
}

int ReceiveCommands::OpenMessageFiles(const std::vector<std::filesystem::path>& files) {
  MainState& s = shell_.State();
  int filed = 0;
  for (const auto& file : files) {
    try {
      if (s.CurrentFolderPath.empty()) throw std::runtime_error("no folder on screen");
      ParsedMessage message;
      message.ParseFile(file);
      FolderNewCounts counts;
      FilingContext filing;
      filing.mail_root = s.MailRoot;
      filing.current_folder_path = s.CurrentFolderPath;
      filing.current_account = s.CurrentAccount;
      filing.current_index = &s.CurrentIndex;
      filing.received_ids = &s.ReceivedIds;
      filing.rules = &rules_;
      filing.folder_new_counts = &counts;
      if (FileMessageFromFile(message, filing) == 1) {
        ++filed;
        shell_.ListFolderIndex(s.CurrentIndex.Rows());
        for (const auto& [path, count] : counts.entries) {
          const std::string prefix = ReceiveRootName() + "\\";
          AddToFolderLabel(path.substr(prefix.size()), count);
        }
        s.ReceivedIds.Save(shell_.Native(s.CurrentAccountDir) / std::string(kReceivedIdListName));
      }
    } catch (const std::exception&) {
      shell_.Ui().MessageBox(Sjis("EMLファイルの読み込みに失敗しました。"));
      return -1;
    }
  }
  return filed;
}

void ReceiveCommands::ApplyRules() {
  MainState& s = shell_.State();
  if (s.CurrentFolderPath.empty()) return;
  RuleContext context{s.MailRoot, s.CurrentFolderPath, s.CurrentAccount, false};
  ApplyRulesToFolder(rules_, context, s.CurrentIndex, s.ReceivedIds);
  shell_.ListFolderIndex(s.CurrentIndex.Rows());
  shell_.Ui().MessageBox(Sjis("完了"));
}

void ReceiveCommands::AddToFolderLabel(const std::string& path, long long count) {
  FolderTree& tree = shell_.ReceiveTree();
  if (tree.TopCount() == 0) return;
  FolderNode* node = tree.Top(0);
  std::vector<std::string> names = SplitStorePath(path);
  for (size_t i = 0; i < names.size(); ++i) {
    FolderNode* next = nullptr;
    for (size_t c = 0; c < node->ChildCount(); ++c)
      if (node->Child(c)->FolderName() == names[i]) next = node->Child(c);
    if (!next) {
      if (i == 0) return;  // no such account: nothing to show
      std::string remaining = node->FolderName() + "\\";
      for (size_t k = i; k < names.size(); ++k) remaining += names[k] + "\\";
      const std::string question =
          Sjis("メッセージルールで移動先としたフォルダにアクセスできません。") + "\r\n\r\n" +
          Sjis("受信フォルダ下へ「") + remaining + Sjis("」を作成してください");
      if (shell_.Ui().MessageBox(question, MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes) return;
      next = tree.Add(node, names[i]);
    }
    node = next;
  }
  const std::string label = node->Label();
  long long shown = 0;
  if (size_t open = label.find("\t("); open != std::string::npos) shown = std::atoll(label.c_str() + open + 2);
  tree.SetLabel(node, LabelOfFolder(node->FolderName(), count + shown));
}

void ReceiveCommands::NewMailFiled(const FolderNewCounts& counts) {
  MainState& s = shell_.State();
  s.SortKind = SortKinds::Date;
  shell_.ListFolderIndex(s.CurrentIndex.Rows());
  const std::string prefix = ReceiveRootName() + "\\";
  for (const auto& [path, count] : counts.entries) {
    s.StopRequested = false;
    AddToFolderLabel(path.substr(prefix.size()), count);
  }
}

}  // namespace plumex
