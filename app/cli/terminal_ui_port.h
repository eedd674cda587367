// The Ui port of plumex-cli: messages go to standard error as UTF-8, questions are answered
// Yes only with --yes (never waiting for a person), input and file choices are refused, and
// the progress shows on standard error when it is a terminal.
#pragma once

#include <iosfwd>
#include <string>

#include "port/ui_port.h"

namespace plumex::cli {

class TerminalUiPort : public UiPort {
 public:
  TerminalUiPort(std::ostream& err, bool yes);

  MsgAnswer MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& default_text) override;
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& default_name,
                                                      const std::string& filter) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string& caption) override;
  std::vector<std::filesystem::path> ChooseOpenFiles(const std::string& filter, bool several,
                                                     int initial_filter) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetProgress(int position, int maximum) override;
  void SetModeLabel(const std::string&, Rgb) override {}
  void SetAccountLabel(const std::string&) override {}
  void Pump() override {}
  void OpenFile(const std::filesystem::path&) override {}
  void OpenUrl(const std::string&) override {}
  bool ShowsMessageList() const override { return false; }
  // Outside recipients go only with --confirm-external; the warnings are printed either way.
  bool ConfirmSend(const SendCheck& check) override;
  void SetConfirmExternal(bool confirmed) { confirm_external_ = confirmed; }

  // The text of status panel 1 ("新着メールは…", "送信しました"), code page 932.
  const std::string& Status() const { return status_; }
  // True once an error message was shown.
  bool ErrorShown() const { return error_shown_; }

 private:
  std::ostream& err_;
  bool yes_;
  bool confirm_external_ = false;
  bool progress_shown_ = false;
  bool error_shown_ = false;
  const bool terminal_;
  std::string status_;
};

}  // namespace plumex::cli
