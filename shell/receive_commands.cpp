#include "shell/receive_commands.h"

#include "shell/shell_texts.h"

#include "text/sjis_text.h"
#include "platform/file_write_error.h"
#include "platform/store_path.h"
#include "platform/system_error_text.h"
#include "port/error_text.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/filing.h"
#include "receive/receive_texts.h"
#include "store/folder_label.h"
#include "store/store_layout.h"

namespace plumex {
namespace {

// "EMLファイルの読み込みに失敗しました。", the file, and why: the cause's own text names the file
// where it can (a read failure), else the file is named before it (a full disk names the
// store's file the filing could not write, and the system's reason).
std::string OpenFailureText(const std::filesystem::path& file, const std::exception& e) {
  std::string cause = AsAppError(e).text();
  if (auto* write = dynamic_cast<const FileWriteError*>(&e); write && write->error_number() != 0)
    cause += "\r\n" + SystemErrorText(std::error_code(write->error_number(), std::generic_category()));
  const std::string name = DisplayPath(file);
  std::string text = Sjis(texts::kOpenMessageFileFailed);
  if (cause.find(name) == std::string::npos) text += "\r\n" + name;
  return text + "\r\n" + cause;
}

}  // namespace

ReceiveCommands::ReceiveCommands(MainShell& shell, RuleList& rules) : shell_(shell), rules_(rules) {}

ReceiveResult ReceiveCommands::Receive(std::vector<int> selected) {
  auto run = shell_.Gate().TryEnter(RunKind::Receive);
  if (!run) return {};  // one run at a time
  return ReceiveIn(*run, std::move(selected));
}

ReceiveResult ReceiveCommands::ReceiveIn(const RunGate::Run& run, std::vector<int> selected,
                                         std::vector<std::string>* forward_queue,
                                         std::function<void()> forward_queued) {
  if (receiving_) return {};
  MainState& s = shell_.State();
  receiving_ = true;
  ReceiveSession session{s, rules_, shell_.Pop3(), std::move(selected)};
  session.forwarding = forward_queue != nullptr;
  session.forward_queue = forward_queue;
  session.forward_queued = std::move(forward_queued);
  session.stop_requested = run.StopCheck();
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
  shell_.Gate().StopRun();
  shell_.DisconnectPop3();
  s.ViewMode = ViewModes::Normal;
  shell_.Ui().SetModeLabel(Sjis(texts::kModeNormal), kModeAqua);
  // The folder on screen is listed again unless a run is still unwinding; it lists at its end.
  if (!receiving_ && !s.CurrentFolderPath.empty()) shell_.ListFolderIndex(s.CurrentIndex.Rows());
  shell_.Ui().SetStatusText(1, "");
}

int ReceiveCommands::OpenChosenMessageFiles() {
  return OpenMessageFiles(shell_.Ui().ChooseOpenFiles(Sjis(texts::kOpenMailFilter), true, 0));
}

int ReceiveCommands::OpenMessageFiles(const std::vector<std::filesystem::path>& files) {
  auto run = shell_.Gate().TryEnter(RunKind::OpenFiles);
  if (!run) return 0;
  MainState& s = shell_.State();
  UiPort& ui = shell_.Ui();
  int filed = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const auto& file = files[i];
    ui.SetProgress(static_cast<int>(i + 1), static_cast<int>(files.size()));
    ui.Pump();
    if (run->StopRequested()) break;
    try {
      if (s.CurrentFolderPath.empty()) throw AppError(ErrorKind::BadInput, Sjis(texts::kNoFolderToOpenInto));
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
    } catch (const std::exception& e) {
      ui.SetProgress(0, 0);
      ui.MessageBox(OpenFailureText(file, e));
      return -1;
    }
  }
  ui.SetProgress(0, 0);
  return filed;
}

void ReceiveCommands::ApplyRules() {
  MainState& s = shell_.State();
  if (s.CurrentFolderPath.empty()) return;
  auto run = shell_.Gate().TryEnter(RunKind::Rules);
  if (!run) return;
  UiPort& ui = shell_.Ui();
  RuleContext context{s.MailRoot, s.CurrentFolderPath, s.CurrentAccount, false};
  // The window breathes between rows and "中止" ends the loop; the rows done are written.
  const RulesApplied applied =
      ApplyRulesToFolder(rules_, context, s.CurrentIndex, s.ReceivedIds, [&](size_t done, size_t total) {
        if (done % 64 == 0) {
          ui.SetProgress(static_cast<int>(done + 1), static_cast<int>(total));
          ui.Pump();
        }
        return !run->StopRequested();
      });
  ui.SetProgress(0, 0);
  shell_.ListFolderIndex(s.CurrentIndex.Rows());
  if (!applied.failed.empty()) ui.MessageBox(RulesFailureText(applied), MsgIcon::Warning);
  else ui.MessageBox(Sjis(run->StopRequested() ? texts::kStopped : texts::kDone));
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
          Sjis(texts::kRuleTargetMissing1) + "\r\n\r\n" +
          Sjis(texts::kRuleTargetMissing2) + remaining + Sjis(texts::kRuleTargetMissing3);
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
  for (const auto& [path, count] : counts.entries) AddToFolderLabel(path.substr(prefix.size()), count);
}

}  // namespace plumex
