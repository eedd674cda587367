#include "settings/new_check_settings.h"

#include "text/sjis_text.h"
#include "settings/account_list.h"
#include "settings/profile_file.h"
#include "settings/settings_texts.h"

namespace plumex {
namespace {

constexpr int kMinInterval = 10;
constexpr int kMaxInterval = 86400;

}  // namespace

NewCheckSettings NewCheckSettings::Load(const std::filesystem::path& mail_root) {
  const ProfileFile file = ProfileFile::Load(mail_root / kNewCheckFileName);
  NewCheckSettings s;
  s.interval = file.ReadString("interval", "CmbInterval", s.interval);
  // The two keys belong to the two options of one choice: the second wins when both are on.
  const bool headers_only = file.ReadBool("receive", "RadioButton5", true);
  s.receive_all = file.ReadBool("receive", "RadioButton4", !headers_only);
  s.receive_account = file.ReadString("receiveMailAccount", "CmbReceiveMailAccount", "");
  s.forward = file.ReadBool("forward", "ChkForward", false);
  s.forward_address = file.ReadString("forwardMailAccount", "Edit1", "");
  s.check_at_start = file.ReadBool("Start", "chkNew", false);
  return s;
}

void NewCheckSettings::Save(const std::filesystem::path& mail_root) const {
  const auto path = mail_root / kNewCheckFileName;
  ProfileFile file = ProfileFile::Load(path);
  file.WriteString("interval", "CmbInterval", interval);
  file.WriteBool("receive", "RadioButton5", !receive_all);
  file.WriteBool("receive", "RadioButton4", receive_all);
  file.WriteString("receiveMailAccount", "CmbReceiveMailAccount", receive_account);
  file.WriteBool("forward", "ChkForward", forward);
  file.WriteString("forwardMailAccount", "Edit1", forward_address);
  file.WriteBool("Start", "chkNew", check_at_start);
  file.Save(path);
}

const std::vector<std::string>& CheckIntervalChoices() {
  static const std::vector<std::string> choices{"30", "60", "120", "180", "240", "300", "600"};
  return choices;
}

std::optional<int> ParseCheckInterval(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < kMinInterval || value > kMaxInterval) return std::nullopt;
  return value;
}

std::optional<NewCheckProblem> CheckNewCheckInterval(const NewCheckSettings& settings) {
  if (ParseCheckInterval(settings.interval)) return std::nullopt;
  return NewCheckProblem{Sjis(texts::kBadCheckInterval),
                         NewCheckProblem::Focus::Interval};
}

std::optional<NewCheckProblem> CheckNewCheckSave(const NewCheckSettings& settings,
                                                 const std::vector<std::string>& account_list) {
  if (settings.receive_all) {
    if (settings.forward_address.find('@') == std::string::npos)
      return NewCheckProblem{Sjis(texts::kForwardAddressNotMail), NewCheckProblem::Focus::ForwardAddress};
    if (!FindAccount(account_list, settings.receive_account))
      return NewCheckProblem{Sjis(texts::kForwardAccountUnknown), NewCheckProblem::Focus::ForwardAddress};
  }
  return CheckNewCheckInterval(settings);
}

}  // namespace plumex
