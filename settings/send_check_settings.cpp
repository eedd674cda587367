#include "settings/send_check_settings.h"

#include <algorithm>
#include <climits>
#include <system_error>

#include "text/ascii_case.h"
#include "settings/app_settings.h"
#include "settings/profile_file.h"

namespace plumex {
namespace {

constexpr const char* kSection = "SendCheck";
constexpr const char* kMissing = "\x01";

}  // namespace

SendCheckSettings SendCheckSettings::Load(const std::filesystem::path& mail_root) {
  const auto file = mail_root / kSettingsFileName;
  SendCheckSettings s;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return s;  // a new store: on
  const ProfileFile p = ProfileFile::Load(file);
  if (p.ReadString(kSection, "On", kMissing) == kMissing) {
    s.on = false;  // made before the check existed: off until the user says otherwise
    return s;
  }
  s.decided = true;
  s.on = p.ReadBool(kSection, "On", true);
  const long long limit = p.ReadInteger(kSection, "Limit", kDefaultExternalLimit);
  s.external_limit = limit < 0 || limit > INT_MAX ? kDefaultExternalLimit : static_cast<int>(limit);
  s.own_domains = ParseDomains(p.ReadString(kSection, "Domains", ""));
  return s;
}

void SendCheckSettings::Save(const std::filesystem::path& mail_root) const {
  const auto file = mail_root / kSettingsFileName;
  ProfileFile p = ProfileFile::Load(file);
  p.WriteBool(kSection, "On", on);
  p.WriteInteger(kSection, "Limit", external_limit);
  p.WriteString(kSection, "Domains", DomainsText());
  p.Save(file);
}

std::string SendCheckSettings::DomainsText() const {
  std::string text;
  for (const auto& d : own_domains) {
    if (!text.empty()) text += ", ";
    text += d;
  }
  return text;
}

std::vector<std::string> SendCheckSettings::ParseDomains(std::string_view text) {
  std::vector<std::string> domains;
  size_t i = 0;
  while (i < text.size()) {
    const size_t end = text.find_first_of(",; \t\r\n", i);
    std::string word = AsciiLower(text.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
    while (!word.empty() && (word.front() == '@' || word.front() == '.')) word.erase(word.begin());
    while (!word.empty() && word.back() == '.') word.pop_back();
    if (!word.empty() && std::find(domains.begin(), domains.end(), word) == domains.end()) domains.push_back(word);
    if (end == std::string_view::npos) break;
    i = end + 1;
  }
  return domains;
}

bool SendCheckOfferDue(const std::filesystem::path& mail_root) {
  std::error_code ec;
  if (!std::filesystem::exists(mail_root / kSettingsFileName, ec)) {
    SettleSendCheck(mail_root, true);
    return false;
  }
  return !SendCheckSettings::Load(mail_root).decided;
}

void SettleSendCheck(const std::filesystem::path& mail_root, bool on) {
  SendCheckSettings s = SendCheckSettings::Load(mail_root);
  s.on = on;
  s.Save(mail_root);
}

}  // namespace plumex
