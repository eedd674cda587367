// MainShell itself: what it owns, start-up (FormCreate), the close question and shutdown,
// the POP3 connection, the mode label, emptying the viewer and leaving server delete mode.
#include "shell/main_shell.h"

#include <algorithm>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "protocol/pop3_client.h"
#include "receive/receive_texts.h"
#include "settings/account_list.h"
#include "shell/shell_texts.h"
#include "store/folder_label.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {

MainShell::MainShell(UiPort& ui, std::filesystem::path mail_root) : ui_(ui) {
  state_.MailRoot = std::move(mail_root);
  ConnectionOptions options;
  options.mail_root = state_.MailRoot;
  options.pump = [this] { ui_.Pump(); };
  options.stop_requested = [this] { return gate_.StopRequested(); };
  pop3_ = std::make_unique<Pop3Client>(options);
  gate_.on_change = [this](bool busy) { ui_.RunStateChanged(busy); };
  pop3_->on_status = [this](const std::string& text) { ui_.SetStatusText(0, text); };
  pop3_->on_disconnected = [this] {
    ui_.SetStatusText(0, Sjis(texts::kDisconnected));
    ui_.SetModeLabel(Sjis(texts::kModeNormal), kModeAqua);
  };
}

MainShell::~MainShell() = default;

void MainShell::DisconnectPop3() { QuietDisconnect(*pop3_); }

ConnectionOptions MainShell::RunConnection(const RunGate::Run& run) {
  ConnectionOptions options;
  options.mail_root = state_.MailRoot;
  options.pump = [this] { ui_.Pump(); };
  options.stop_requested = run.StopCheck();
  return options;
}

std::filesystem::path MainShell::Native(std::string_view store_path) const {
  return ToNativePath(state_.MailRoot, store_path);
}

void MainShell::SetMode() { ui_.SetModeLabel(Sjis(texts::kModeNormal), kModeAqua); }

// An account folder may still hold the names older versions wrote.
void MainShell::RenameAccountFiles(const std::filesystem::path& dir) {
  auto replace = [&](const char* old_name, const char* new_name) {
    if (!FileExists(dir / old_name)) return;
    RemoveRecursively(dir / new_name);
    MovePath(dir / old_name, dir / new_name);
  };
  replace("syomei.txt", "syomei.ini");
  replace("Ref.txt", "Ref.ini");
}

void MainShell::FormCreate(const std::function<bool()>& check_start_password) {
  MainState& s = state_;
  // The receive tree has the focus; no delayed send is pending yet.
  s.ActiveTree = Trees::Receive;
  s.DelayedSendLabelShown = false;
  s.TickCount = 0;
  // The address books and the sent folder always exist.
  EnsureDirectory(Native(std::string(texts::kAddressDir) + "\\"));
  EnsureDirectory(Native(SendFolderPath()));
  // The settings of the last run: the account in use, the header pane, the start-up password.
  s.Settings = AppSettings::Load(s.MailRoot);
  s.CurrentAccount = s.Settings.current_account;
  s.HeaderShown = false;
  SetHeaderShown(s.Settings.header_on);
  s.StartPasswordOn = s.Settings.start_password;
  // A wrong start-up password ends the program before any mail is shown.
  s.CloseRequested = false;
  s.StartRefused = false;
  if (s.StartPasswordOn && check_start_password && !check_start_password()) {
    s.CloseRequested = true;
    s.StartRefused = true;
    return;
  }
  // Normal mode, the text view.
  SetMode();
  s.Viewer.html_shown = false;
  s.ViewMode = ViewModes::Normal;
  // Nothing of an earlier start is left over.
  s.CurrentIndex = FolderIndex();
  s.ReceivedIds.Clear();
  s.SendRootIndex = FolderIndex();
  s.AccountList.clear();
  s.AccountPosition = 1;
  // The send tree: "送信" with its unread count and subfolders, then the drafts.
  send_tree_.Clear();
  FolderNode* send_root = send_tree_.Add(nullptr, SendRootName());
  auto send_index = Native(SendFolderPath()) / std::string(kSendIndexName);
  if (FileExists(send_index)) {
    s.SendRootIndex = FolderIndex::LoadIfExists(send_index);
    send_tree_.SetLabel(send_root, LabelOfFolder(SendRootName(), CountUnread(s.SendRootIndex)));
  }
  ScanFolders(send_tree_, send_root, kSendIndexName);
  send_tree_.Add(nullptr, DraftRootName());
  // Without Account.ini there is only the receive root and the request to make an account.
  receive_tree_.Clear();
  if (!AccountFileExists(s.MailRoot)) {
    ui_.MessageBox(Sjis(texts::kNoAccountFile1) + "\r\n\r\n" + Sjis(texts::kNoAccountFile2));
    receive_tree_.Select(receive_tree_.Add(nullptr, ReceiveRootName()));
    s.CurrentFolderPath.clear();
    return;
  }
  // The receive root and the accounts under it.
  FolderNode* root = receive_tree_.Add(nullptr, ReceiveRootName());
  s.AccountList = LoadAccountList(s.MailRoot);
  // A saved name that matches no account falls back to the first account, so the folder on
  // screen and the account in use (the record at AccountPosition) are the same account.
  if (!FindAccount(s.AccountList, s.CurrentAccount) || s.CurrentAccount.empty()) {
    auto first = std::find_if(s.AccountList.begin(), s.AccountList.end(),
                              [](const std::string& line) { return !FieldOf(line, 0).empty(); });
    s.CurrentAccount = first == s.AccountList.end() ? std::string() : FieldOf(*first, 0);
  }
  // One node per account, with its subfolders; other accounts show their unread counts.
  FolderNode* current_node = nullptr;
  for (size_t i = 0; i < s.AccountList.size(); ++i) {
    std::string name = FieldOf(s.AccountList[i], 0);
    // A record without a name would make the receive root itself an account folder.
    if (name.empty()) continue;
    bool current = name == s.CurrentAccount;
    if (current && !current_node) s.AccountPosition = i + 1;
    std::string dir = AccountFolderPath(name);
    auto native_dir = Native(dir);
    if (DirectoryExists(native_dir))
      RenameAccountFiles(native_dir);
    else
      EnsureDirectory(native_dir);
    // The account in use shows no count (its inbox is read whole below); the others count
    // their unread rows without building them.
    const long long unread = current ? 0 : CountUnreadInIndexFile(native_dir / std::string(kReceiveIndexName));
    FolderNode* node = receive_tree_.Add(root, current ? name : LabelOfFolder(name, unread));
    if (current && !current_node) current_node = node;
    ScanFolders(receive_tree_, node, kReceiveIndexName);
  }
  // The saved account is the one in use and on screen.
  ui_.SetAccountLabel(Sjis(texts::kAccountLabelPrefix) + s.CurrentAccount);
  receive_tree_.Select(current_node ? current_node : root);
  if (!current_node) {
    s.CurrentFolderPath.clear();
    return;
  }
  // Its inbox and its fetched-id list.
  s.CurrentFolderPath = AccountFolderPath(s.CurrentAccount);
  s.CurrentAccountDir = s.CurrentFolderPath;
  s.ReceivedIds = ReceivedIdList::Open(Native(s.CurrentAccountDir) / std::string(kReceivedIdListName));
  // Its messages, newest first.
  s.SortKind = SortKinds::Date;
  s.CurrentIndex = FolderIndex::Open(Native(s.CurrentFolderPath) / std::string(kReceiveIndexName));
  if (s.CurrentIndex.Size() > 0) ListFolderIndex(s.CurrentIndex.Rows());
}

bool MainShell::FormCloseQuery() {
  std::string dir = std::string(texts::kAfterSendDir) + "\\";
  if (FileExists(Native(dir + std::string(texts::kAfterSendFile)))) {
    MsgAnswer a = ui_.MessageBox(Sjis(texts::kAfterSendPending1) + "\r\n\r\n" + Sjis(texts::kAfterSendPending2),
                                 MsgIcon::Question, MsgButtons::OkCancel);
    if (a != MsgAnswer::Ok) return false;
    if (RemoveRecursively(Native(dir))) EnsureDirectory(Native(dir));
  }
  gate_.StopRun();
  return true;
}

void MainShell::FormDestroy(const AppSettings& window) {
  DisconnectPop3();
  SaveAccountList(state_.MailRoot, state_.AccountList);
  AppSettings out = window;
  out.current_account = state_.CurrentAccount;
  // The folder highlighted in the tree in use is the folder on screen.
  const FolderNode* shown = (state_.ActiveTree == Trees::Receive ? receive_tree_ : send_tree_).Selected();
  out.folder_path = shown ? shown->Path() : std::string();
  // A window closed maximised keeps the place it had before.
  if (!out.has_position()) {
    out.form_left = state_.Settings.form_left;
    out.form_top = state_.Settings.form_top;
  }
  out.header_on = state_.HeaderShown;
  out.start_password = state_.StartPasswordOn;
  out.Save(state_.MailRoot);
}

void MainShell::Disconnect() {
  gate_.StopRun();
  DisconnectPop3();
}


// The one way the viewer empties: nothing of the message shown before stays behind (its row,
// file, texts, attachments, preview or HTML page), so no command acts on it afterwards.
void MainShell::ClearViewer() { state_.Viewer = ViewerContent{}; }

void MainShell::EmptyViewer() {
  ClearViewer();
  ui_.ViewerChanged();
}

void MainShell::RefreshSendSide() {
  MainState& s = state_;
  const bool send_on_screen = s.ViewMode == ViewModes::SendFolder && !s.CurrentSendFolderPath.empty();
  const bool root_on_screen = send_on_screen && s.CurrentSendFolderPath == SendFolderPath();
  FolderIndex& on_screen = root_on_screen ? s.SendRootIndex : s.SendFolderIndex;
  const std::vector<std::string> listed = send_on_screen ? on_screen.Rows().Lines() : std::vector<std::string>{};
  s.SendRootIndex = FolderIndex::LoadIfExists(Native(SendFolderPath()) / std::string(kSendIndexName));
  if (!send_on_screen) return;
  if (!root_on_screen)
    s.SendFolderIndex = FolderIndex::LoadIfExists(Native(s.CurrentSendFolderPath) / std::string(kSendIndexName));
  if (on_screen.Rows().Lines() != listed) ListFolderIndex(on_screen.Rows());
}

void MainShell::LeaveServerDelete() {
  // Only server delete mode is left: a receive or a send going on is not its business.
  if (state_.ViewMode != ViewModes::ServerDelete) return;
  gate_.StopRun(RunKind::ServerDelete);
  DisconnectPop3();
  state_.ViewMode = ViewModes::Normal;
  SetMode();
  ui_.SetStatusText(1, "");
  if (!state_.CurrentFolderPath.empty()) ListFolderIndex(state_.CurrentIndex.Rows());
  else list_.Clear();
}

void MainShell::ClearMessageView() {
  list_.Clear();
  ClearViewer();
  ui_.ViewerChanged();
}

}  // namespace plumex
