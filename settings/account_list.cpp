#include "settings/account_list.h"

#include <charconv>

#include "text/ascii_case.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "settings/stored_bool.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {

AccountRecord AccountRecord::Parse(std::string_view line) {
  auto f = SplitTabLine(line);
  f.resize(std::max<size_t>(f.size(), 9));
  AccountRecord r;
  r.name = f[0];
  r.pop_host = f[1];
  r.user = f[2];
  r.password = f[3];
  r.smtp_host = f[4];
  r.address = f[5];
  r.pop_port = f[6];
  r.smtp_port = f[7];
  r.delete_after_receive = ParseStoredBool(f[8]);
  r.reply_mark = f.size() >= 10 ? f[9] : ">";
  if (f.size() >= 12) {
    r.pop_ssl = ParseStoredBool(f[10]);
    r.smtp_ssl = ParseStoredBool(f[11]);
  }
  std::string* more[] = {&r.login_method,    &r.secret_place,        &r.oauth_provider,  &r.oauth_client_id,
                         &r.oauth_tenant,    &r.oauth_authorize_url, &r.oauth_token_url, &r.oauth_scopes,
                         &r.oauth_client_secret};
  for (size_t i = 0; i < std::size(more) && 12 + i < f.size(); ++i) *more[i] = f[12 + i];
  return r;
}

std::string AccountRecord::ToLine() const {
  auto one_field = [](std::string text) {
    for (char& c : text)
      if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
  };
  std::vector<std::string> fields = {one_field(name),      one_field(pop_host),   one_field(user),
                                     one_field(password),  one_field(smtp_host),  one_field(address),
                                     one_field(pop_port),  one_field(smtp_port),  StoredBoolText(delete_after_receive),
                                     one_field(reply_mark), StoredBoolText(pop_ssl), StoredBoolText(smtp_ssl)};
  const std::string more[] = {login_method, secret_place,        oauth_provider,  oauth_client_id,
                              oauth_tenant, oauth_authorize_url, oauth_token_url, oauth_scopes,
                              oauth_client_secret};
  bool any = false;
  for (const auto& m : more) any = any || !m.empty();
  if (any)
    for (const auto& m : more) fields.push_back(one_field(m));
  return JoinTabLine(fields);
}

std::vector<std::string> LoadAccountList(const std::filesystem::path& mail_root) {
  std::vector<std::string> lines;
  ReadLines(mail_root / kAccountFileName, lines);
  return lines;
}

bool AccountFileExists(const std::filesystem::path& mail_root) { return FileExists(mail_root / kAccountFileName); }

bool SaveAccountList(const std::filesystem::path& mail_root, const std::vector<std::string>& account_list) {
  std::string text = JoinLines(account_list);
  if (text.empty() || text == "\r\n") return false;
  WriteFileAtomic(mail_root / kAccountFileName, text);
  return true;
}

void WriteAccountList(const std::filesystem::path& mail_root, const std::vector<std::string>& account_list) {
  WriteLines(mail_root / kAccountFileName, account_list);
}

std::optional<size_t> FindAccount(const std::vector<std::string>& account_list, std::string_view name) {
  for (size_t i = 0; i < account_list.size(); ++i)
    if (FieldOf(account_list[i], 0) == name) return i;
  return std::nullopt;
}

bool AccountNameTaken(const std::vector<std::string>& account_list, std::string_view name,
                      std::optional<size_t> except) {
  for (size_t i = 0; i < account_list.size(); ++i)
    if (i != except && EqualIgnoringCase(FieldOf(account_list[i], 0), name)) return true;
  return false;
}

std::optional<int> ParsePort(std::string_view text) {
  int port = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || text.front() == '-') return std::nullopt;
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

Pop3Settings Pop3SettingsOf(const AccountRecord& r) {
  return {r.pop_host, r.user, r.password, ParsePort(r.pop_port).value_or(r.pop_ssl ? 995 : 110), r.pop_ssl};
}

std::optional<AccountInUse> LoadAccount(const std::filesystem::path& mail_root,
                                        const std::vector<std::string>& account_list, size_t n) {
  if (n >= account_list.size()) return std::nullopt;
  AccountInUse in_use;
  in_use.record = AccountRecord::Parse(account_list[n]);
  const AccountRecord& r = in_use.record;
  in_use.pop3 = Pop3SettingsOf(r);
  in_use.account_dir = ToNativePath(mail_root, AccountFolderPath(r.name));
  ReadLines(in_use.account_dir / kSignatureFileName, in_use.signature);
  in_use.received_ids = ReceivedIdList::Open(in_use.account_dir / std::string(kReceivedIdListName));
  return in_use;
}

std::string ExpandSignatureDate(std::string_view text, int year, int month, int day) {
  static constexpr std::string_view kPlaceholder = "%SSdate%";
  const std::string date = Pad4(year) + "/" + Pad2(month) + "/" + Pad2(day);
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (text.size() - i >= kPlaceholder.size() && EqualIgnoringCase(text.substr(i, kPlaceholder.size()), kPlaceholder)) {
      out += date;
      i += kPlaceholder.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace plumex
