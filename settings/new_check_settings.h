// The new-mail check settings of "New.ini" (the "新着チェック" tab): a profile file with one key
// per section, booleans "1"/"0". The tab edits one live copy that the check reads.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

inline constexpr const char* kNewCheckFileName = "New.ini";

struct NewCheckSettings {
  std::string interval = "30";   // interval/CmbInterval, seconds as typed
  bool receive_all = false;      // receive/RadioButton4 (else RadioButton5, headers only)
  std::string receive_account;   // receiveMailAccount/CmbReceiveMailAccount
  bool forward = false;          // forward/ChkForward "自動転送"
  std::string forward_address;   // forwardMailAccount/Edit1
  bool check_at_start = false;   // Start/chkNew "起動時に新着チェックをする"

  // Defaults for whatever the file lacks or holds as no whole number (and for a missing file).
  static NewCheckSettings Load(const std::filesystem::path& mail_root);
  // Writes the seven keys.
  void Save(const std::filesystem::path& mail_root) const;
};

// The interval box offers these; it also takes typed text.
const std::vector<std::string>& CheckIntervalChoices();
// A whole number of seconds from 10 to 86400 (one day), or nothing: a check must neither
// hammer the server nor wait past a day, and a typed word must never reach the timer.
std::optional<int> ParseCheckInterval(std::string_view text);

// Why "保存" refuses the settings on screen.
struct NewCheckProblem {
  enum class Focus { ForwardAddress, Interval };
  std::string message;  // CP932
  Focus focus = Focus::ForwardAddress;
};
// The checks of "保存": with "宛にきたメールはすべて受信する" chosen the forward address needs an
// "@" and the account box an existing account's name; the interval must be valid in any case.
std::optional<NewCheckProblem> CheckNewCheckSave(const NewCheckSettings& settings,
                                                 const std::vector<std::string>& account_list);
// The check of "実行": the interval only.
std::optional<NewCheckProblem> CheckNewCheckInterval(const NewCheckSettings& settings);

}  // namespace plumex
