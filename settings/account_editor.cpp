#include "settings/account_editor.h"

#include "platform/directories.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

std::string RequiredMessage() { return Sjis("タイトルと必須項目だけは入力してください。"); }
std::string NameTakenMessage() { return Sjis("同一のアカウント名が存在します。アカウント名を変えてください。"); }

}  // namespace

AccountForm AccountForm::FromRecord(const AccountRecord& r, std::vector<std::string> signature) {
  AccountForm f;
  f.name = r.name;
  f.address = r.address;
  f.pop_host = r.pop_host;
  f.pop_port = r.pop_port;
  f.smtp_host = r.smtp_host;
  f.smtp_port = r.smtp_port;
  f.reply_mark = r.reply_mark;
  f.user = r.user;
  f.password = r.password;
  f.pop_ssl = r.pop_ssl;
  f.smtp_ssl = r.smtp_ssl;
  f.delete_after_receive = r.delete_after_receive;
  f.signature = std::move(signature);
  return f;
}

AccountRecord AccountForm::ToRecord() const {
  AccountRecord r;
  r.name = name;
  r.pop_host = pop_host;
  r.user = user;
  r.password = password;
  r.smtp_host = smtp_host;
  r.address = address;
  r.pop_port = pop_port;
  r.smtp_port = smtp_port;
  r.delete_after_receive = delete_after_receive;
  r.reply_mark = reply_mark;
  r.pop_ssl = pop_ssl;
  r.smtp_ssl = smtp_ssl;
  return r;
}

bool AccountForm::RequiredTextsFilled() const {
  return !name.empty() && !pop_host.empty() && !user.empty() && !password.empty() && !smtp_host.empty() &&
         !address.empty();
}

AccountEditor::AccountEditor(std::filesystem::path mail_root, AccountState state, AccountHooks& hooks)
    : mail_root_(std::move(mail_root)), state_(state), hooks_(hooks) {}

void AccountEditor::Open() {
  position_ = state_.account_position;
  if (state_.account_list.empty()) {
    add_visible_ = false;
  } else {
    LoadAccount(state_.account_position - 1);
  }
  record_count_ = state_.account_list.size();
}

void AccountEditor::LoadAccount(size_t n) {
  auto in_use = plumex::LoadAccount(mail_root_, state_.account_list, n);
  if (!in_use) return;
  form_ = AccountForm::FromRecord(in_use->record, in_use->signature);
  loaded_name_ = in_use->record.name;
  state_.current_account = in_use->record.name;
  state_.account_position = n + 1;
  position_ = n + 1;
  shown_number_ = n + 1;
  hooks_.AccountLoaded(std::move(*in_use));
}

void AccountEditor::ShowRecord(size_t n) {
  if (n >= state_.account_list.size()) return;
  const AccountRecord record = AccountRecord::Parse(state_.account_list[n]);
  std::vector<std::string> signature;
  ReadLines(ToNativePath(mail_root_, AccountFolderPath(record.name)) / kSignatureFileName, signature);
  form_ = AccountForm::FromRecord(record, std::move(signature));
  loaded_name_ = record.name;
  position_ = n + 1;
  shown_number_ = n + 1;
}

void AccountEditor::ShowInUse() {
  if (add_mode_ || state_.account_list.empty()) return;
  record_count_ = state_.account_list.size();
  ShowRecord(state_.account_position - 1);
}

void AccountEditor::Previous() {
  if (position_ < 2) return;
  ShowRecord(position_ - 2);
}

void AccountEditor::Next() {
  if (position_ >= record_count_) return;
  ShowRecord(position_);
}

AccountEditor::Outcome AccountEditor::AddOrCancel() {
  if (!add_mode_) {
    if (!form_.RequiredTextsFilled()) return {false, RequiredMessage()};
    add_mode_ = true;
    form_.name.clear();
    form_.pop_host.clear();
    form_.user.clear();
    form_.password.clear();
    form_.smtp_host.clear();
    form_.address.clear();
    form_.signature.clear();
    form_.delete_after_receive = false;
    form_.reply_mark = ">";
    record_count_ = state_.account_list.size();
    position_ = record_count_ + 1;
    shown_number_ = record_count_ + 1;
    return {};
  }
  if (position_ == record_count_ + 1 && position_ > 1) --position_;
  add_mode_ = false;
  ShowRecord(position_ - 1);
  shown_number_ = position_;
  return {};
}

AccountEditor::Outcome AccountEditor::PortsValid() const {
  if (!ParsePort(form_.pop_port) || !ParsePort(form_.smtp_port))
    return {false, Sjis("ポート番号は1～65535の数字で入力してください。")};
  return {};
}

AccountEditor::Outcome AccountEditor::Save() {
  if (!form_.RequiredTextsFilled() || form_.pop_port.empty() || form_.smtp_port.empty())
    return {false, RequiredMessage()};
  if (auto ports = PortsValid(); !ports.ok) return ports;
  if (!IsFolderName(form_.name)) return {false, Sjis("アカウント名に「\\」は使えません。")};
  const bool is_new = position_ == record_count_ + 1;
  // A rename onto another account's name is refused like a new one: two records would share
  // one folder, and deleting either would delete the other's mail.
  const bool renamed = !is_new && form_.name != loaded_name_;
  const std::optional<size_t> self = is_new ? std::nullopt : std::optional<size_t>(position_ - 1);
  if ((add_mode_ || renamed) && AccountNameTaken(state_.account_list, form_.name, self)) return {false, NameTakenMessage()};

  // The account's mail moves with its name, before anything else changes: a folder of the new
  // name already there, or a move that fails, leaves the record and the mail as they were.
  if (renamed && hooks_.HasAccountNode(loaded_name_)) {
    const auto old_dir = ToNativePath(mail_root_, AccountFolderPath(loaded_name_));
    const auto new_dir = ToNativePath(mail_root_, AccountFolderPath(form_.name));
    if (DirectoryExists(old_dir)) {
      if (FileExists(new_dir) || DirectoryExists(new_dir))
        return {false, Sjis("フォルダ「") + AccountFolderPath(form_.name) +
                           Sjis("」がすでにあるため、アカウント名を変更できません。")};
      if (!MovePath(old_dir, new_dir))
        return {false, Sjis("フォルダ「") + AccountFolderPath(loaded_name_) + Sjis("」を「") +
                           AccountFolderPath(form_.name) + Sjis("」へ移動できなかったため、アカウント名を変更できません。")};
    }
  }

  const std::string line = form_.ToRecord().ToLine();
  if (is_new) {
    state_.account_list.push_back(line);
    all_deleted_ = false;
    record_count_ = state_.account_list.size();
    shown_number_ = record_count_;
    if (!hooks_.HasAccountNode(form_.name)) hooks_.AddAccountNode(form_.name);
  } else {
    // The name the record had when it was loaded or last saved (after saving a new record the
    // account in use is still the one before it, so CurrentAccount is not that name).
    const std::string old_name = loaded_name_;
    if (old_name != form_.name && hooks_.HasAccountNode(old_name)) {
      hooks_.RenameAccountNode(old_name, form_.name);
      if (state_.current_account == old_name) state_.current_account = form_.name;
    }
    if (position_ >= 1 && position_ <= state_.account_list.size()) state_.account_list[position_ - 1] = line;
  }
  auto dir = ToNativePath(mail_root_, AccountFolderPath(form_.name));
  EnsureDirectory(dir);
  WriteLines(dir / kSignatureFileName, form_.signature);
  loaded_name_ = form_.name;
  add_mode_ = false;
  add_visible_ = true;
  return {true, Sjis("保存しました。")};
}

// The required fields left empty, named as the window labels them.
std::string AccountEditor::MissingFields() const {
  const std::pair<const std::string*, const char*> fields[] = {
      {&form_.name, "アカウント名"}, {&form_.address, "自分のメールアドレス"}, {&form_.pop_host, "受信サーバ"},
      {&form_.smtp_host, "送信サーバ"}, {&form_.user, "ユーザ名(ID)"},        {&form_.password, "パスワード"}};
  std::string names;
  for (const auto& [text, label] : fields) {
    if (!text->empty()) continue;
    if (!names.empty()) names += Sjis("、");
    names += Sjis(label);
  }
  return Sjis("入力されていない項目: ") + names;
}

std::string AccountEditor::DeleteQuestion() {
  return Sjis("現在のアカウント及び") + "\r\n" + Sjis("同アカウントで受信したメール関係ファイル") + "\r\n" +
         Sjis("をすべて削除します。") + "\r\n\r\n" + Sjis("　　　よろしいですか？");
}

bool AccountEditor::CanDelete() const { return position_ >= 1 && position_ <= state_.account_list.size(); }

AccountEditor::Outcome AccountEditor::Delete() {
  if (!CanDelete()) return {false, {}};
  // The record shown is deleted under its saved name: a name typed into the field but not
  // saved (perhaps another account's) must not take that account's folder with it.
  const size_t position = position_ - 1;
  const std::string name = FieldOf(state_.account_list[position], 0);
  const bool in_use = name == state_.current_account;
  auto dir = ToNativePath(mail_root_, AccountFolderPath(name));
  if (IsFolderName(name) && DirectoryExists(dir)) RemoveRecursively(dir);
  hooks_.RemoveAccountNode(name);
  state_.account_list.erase(state_.account_list.begin() + static_cast<std::ptrdiff_t>(position));
  all_deleted_ = state_.account_list.empty();
  record_count_ = state_.account_list.size();
  if (state_.account_list.empty()) return {};
  // The account in use stays in use when another one was deleted; deleting the one in use
  // puts the first account in use.
  const auto kept = in_use ? std::nullopt : FindAccount(state_.account_list, state_.current_account);
  if (kept) {
    state_.account_position = *kept + 1;
    ShowRecord(*kept);
  } else {
    LoadAccount(0);
  }
  return {};
}

AccountEditor::Outcome AccountEditor::Close() {
  if (add_mode_) return {false, Sjis("保存、中止のどちらかを選択してください。")};
  if (!form_.RequiredTextsFilled()) return {false, RequiredMessage() + "\r\n\r\n" + MissingFields()};
  if (auto ports = PortsValid(); !ports.ok) return ports;
  // After the last account was deleted an empty file is written, so it does not come back.
  if (!SaveAccountList(mail_root_, state_.account_list) && state_.account_list.empty())
    WriteAccountList(mail_root_, {});
  // The record shown is chosen: it becomes the account in use, with the texts of the window.
  if (position_ != state_.account_position && position_ >= 1 && position_ <= state_.account_list.size()) {
    const AccountForm shown = form_;
    LoadAccount(position_ - 1);
    form_ = shown;
  }
  state_.current_account = form_.name;
  hooks_.ConfigurePop3({form_.pop_host, form_.user, form_.password, *ParsePort(form_.pop_port), form_.pop_ssl});
  hooks_.SelectAccountNode(form_.name);
  return {};
}

}  // namespace plumex
