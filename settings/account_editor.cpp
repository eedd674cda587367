#include "settings/account_editor.h"

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "settings/settings_texts.h"
#include "store/store_layout.h"
#include "store/tab_line.h"
#include "settings/account_login.h"
#include "settings/mail_presets.h"
#include "platform/app_error.h"

namespace plumex {
namespace {

std::string RequiredMessage() { return Sjis(texts::kAccountRequired); }
std::string NameTakenMessage() { return Sjis(texts::kAccountNameTaken); }

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
  f.login_method = r.login_method;
  f.secret_place = r.secret_place;
  f.oauth_provider = r.oauth_provider;
  f.oauth_client_id = r.oauth_client_id;
  f.oauth_tenant = r.oauth_tenant;
  f.oauth_authorize_url = r.oauth_authorize_url;
  f.oauth_token_url = r.oauth_token_url;
  f.oauth_scopes = r.oauth_scopes;
  f.oauth_client_secret = r.oauth_client_secret;
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
  r.login_method = login_method == "password" ? std::string() : login_method;
  r.secret_place = secret_place;
  r.oauth_provider = oauth_provider;
  r.oauth_client_id = oauth_client_id;
  r.oauth_tenant = oauth_tenant;
  r.oauth_authorize_url = oauth_authorize_url;
  r.oauth_token_url = oauth_token_url;
  r.oauth_scopes = oauth_scopes;
  r.oauth_client_secret = oauth_client_secret;
  return r;
}

bool AccountForm::RequiredTextsFilled() const {
  return !name.empty() && !pop_host.empty() && !user.empty() && (!password.empty() || PasswordOptional()) &&
         !smtp_host.empty() && !address.empty();
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
    form_.secret_place.clear();
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
    return {false, Sjis(texts::kBadPort)};
  return {};
}

namespace {

// The account a run files into or sends from stays as it is until the run ends.
std::string RunGoingMessage() {
  return Sjis(texts::kAccountBusy);
}

}  // namespace

AccountEditor::Outcome AccountEditor::Save() {
  notice_.clear();
  if (!form_.RequiredTextsFilled() || form_.pop_port.empty() || form_.smtp_port.empty())
    return {false, RequiredMessage()};
  if (auto ports = PortsValid(); !ports.ok) return ports;
  if (!IsFolderName(form_.name)) return {false, Sjis(texts::kAccountNameBackslash)};
  const bool is_new = position_ == record_count_ + 1;
  // A rename onto another account's name is refused like a new one: two records would share
  // one folder, and deleting either would delete the other's mail.
  const bool renamed = !is_new && form_.name != loaded_name_;
  if (renamed && loaded_name_ == state_.current_account && hooks_.RunGoing()) return {false, RunGoingMessage()};
  const std::optional<size_t> self = is_new ? std::nullopt : std::optional<size_t>(position_ - 1);
  if ((add_mode_ || renamed) && AccountNameTaken(state_.account_list, form_.name, self)) return {false, NameTakenMessage()};

  // The account's mail moves with its name, before anything else changes: a folder of the new
  // name already there, or a move that fails, leaves the record and the mail as they were.
  const auto old_dir = ToNativePath(mail_root_, AccountFolderPath(loaded_name_));
  const auto new_dir = ToNativePath(mail_root_, AccountFolderPath(form_.name));
  bool folder_moved = false;
  if (renamed && hooks_.HasAccountNode(loaded_name_)) {
    if (DirectoryExists(old_dir)) {
      if (FileExists(new_dir) || DirectoryExists(new_dir))
        return {false, Sjis(texts::kAccountFolderOpen) + AccountFolderPath(form_.name) +
                           Sjis(texts::kRenameFolderExists)};
      if (!MovePath(old_dir, new_dir))
        return {false, Sjis(texts::kAccountFolderOpen) + AccountFolderPath(loaded_name_) +
                           Sjis(texts::kRenameFolderTo) + AccountFolderPath(form_.name) +
                           Sjis(texts::kRenameFolderNotMoved)};
      folder_moved = true;
    }
  }

  AccountRecord record = form_.ToRecord();
  std::string notice;
  try {
    // A renamed account's keyring items follow it; a password typed goes to the keyring.
    if (renamed) MoveAccountSecrets(mail_root_, loaded_name_, form_.name);
    notice = PlaceAccountPassword(record, mail_root_);
  } catch (const AppError& e) {
    if (folder_moved) MovePath(new_dir, old_dir);  // the record keeps its old name: so does its mail
    return {false, e.text()};
  }
  form_.password = record.password;
  form_.secret_place = record.secret_place;
  const std::optional<AccountRecord> before =
      is_new || position_ < 1 || position_ > state_.account_list.size()
          ? std::nullopt
          : std::optional<AccountRecord>(AccountRecord::Parse(state_.account_list[position_ - 1]));
  // Said once, when a server first loses TLS: the password will cross the network in clear.
  const bool clear_pop = !record.pop_ssl && (!before || before->pop_ssl);
  const bool clear_smtp = !record.smtp_ssl && (!before || before->smtp_ssl);
  if (clear_pop || clear_smtp) {
    if (!notice.empty()) notice += "\r\n\r\n";
    notice += Sjis(texts::kPlainLoginNotice);
  }
  const std::string line = record.ToLine();
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
  notice_ = notice;
  return {true, Sjis(texts::kSaved)};
}

// The required fields left empty, named as the window labels them.
std::string AccountEditor::MissingFields() const {
  const std::pair<const std::string*, std::string_view> fields[] = {
      {&form_.name, texts::kLabelAccountName}, {&form_.address, texts::kLabelAddress},
      {&form_.pop_host, texts::kLabelPopHost},  {&form_.smtp_host, texts::kLabelSmtpHost},
      {&form_.user, texts::kLabelUser},         {&form_.password, texts::kLabelPassword}};
  std::string names;
  for (const auto& [text, label] : fields) {
    if (!text->empty() || (text == &form_.password && form_.PasswordOptional())) continue;
    if (!names.empty()) names += Sjis(texts::kListComma);
    names += Sjis(label);
  }
  return Sjis(texts::kMissingFields) + names;
}

std::string AccountEditor::DeleteQuestion() {
  return Sjis(texts::kDeleteAccount1) + "\r\n" + Sjis(texts::kDeleteAccount2) + "\r\n" +
         Sjis(texts::kDeleteAccount3) + "\r\n\r\n" + Sjis(texts::kDeleteAccount4);
}

bool AccountEditor::CanDelete() const { return position_ >= 1 && position_ <= state_.account_list.size(); }

AccountEditor::Outcome AccountEditor::Delete() {
  if (!CanDelete()) return {false, {}};
  // The record shown is deleted under its saved name: a name typed into the field but not
  // saved (perhaps another account's) must not take that account's folder with it.
  const size_t position = position_ - 1;
  const std::string name = FieldOf(state_.account_list[position], 0);
  const bool in_use = name == state_.current_account;
  if (in_use && hooks_.RunGoing()) return {false, RunGoingMessage()};
  auto dir = ToNativePath(mail_root_, AccountFolderPath(name));
  if (IsFolderName(name) && DirectoryExists(dir)) RemoveRecursively(dir);
  ForgetAccountSecrets(mail_root_, name);
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
  if (add_mode_) return {false, Sjis(texts::kAccountSaveOrCancel)};
  if (!form_.RequiredTextsFilled()) return {false, RequiredMessage() + "\r\n\r\n" + MissingFields()};
  if (auto ports = PortsValid(); !ports.ok) return ports;
  if (form_.name != state_.current_account && hooks_.RunGoing()) return {false, RunGoingMessage()};
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

bool AccountEditor::ApplyPreset(bool microsoft365, std::string* notice) {
  const std::optional<MailPreset> preset = microsoft365 ? Microsoft365Preset() : PresetForAddress(form_.address);
  if (!preset) return false;
  if (!preset->pop_host.empty()) {
    form_.pop_host = preset->pop_host;
    form_.pop_port = std::to_string(preset->pop_port);
    form_.pop_ssl = preset->pop_ssl;
  }
  form_.smtp_host = preset->smtp_host;
  form_.smtp_port = std::to_string(preset->smtp_port);
  form_.smtp_ssl = preset->smtp_ssl;
  form_.login_method = preset->login_method;
  form_.oauth_provider = preset->provider;
  if (form_.user.empty()) {
    std::string address = form_.address;
    if (const size_t lt = address.rfind('<'); lt != std::string::npos) address = address.substr(lt + 1);
    while (!address.empty() && (address.back() == '>' || address.back() == ' ')) address.pop_back();
    form_.user = address;
  }
  if (notice) *notice = preset->notice;
  return true;
}

AccountEditor::Outcome AccountEditor::SignIn(const ConnectionOptions& options,
                                             const std::function<void(const std::string&)>& show_url) {
  notice_.clear();
  if (form_.name.empty() || !IsFolderName(form_.name)) return {false, Sjis(texts::kNameFirst)};
  form_.login_method = "oauth2";
  AccountRecord record = form_.ToRecord();
  std::string notice;
  try {
    const OAuthTokens tokens = SignInWithBrowser(options, ProviderFor(record), form_.user, show_url);
    notice = KeepSignIn(record, mail_root_, tokens);
  } catch (const AppError& e) {
    return {false, e.text()};
  }
  form_.secret_place = record.secret_place;
  form_.password.clear();
  // A saved record notes at once where its tokens are; a new one does when it is saved.
  const bool saved = !add_mode_ && position_ >= 1 && position_ <= state_.account_list.size() &&
                     FieldOf(state_.account_list[position_ - 1], 0) == form_.name;
  if (saved) {
    AccountRecord stored = AccountRecord::Parse(state_.account_list[position_ - 1]);
    stored.login_method = "oauth2";
    stored.secret_place = record.secret_place;
    stored.password.clear();
    state_.account_list[position_ - 1] = stored.ToLine();
  }
  notice_ = notice;
  return {true, Sjis(texts::kSignedIn)};
}

}  // namespace plumex
