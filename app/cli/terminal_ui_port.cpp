#include "app/cli/terminal_ui_port.h"

#include <unistd.h>

#include <ostream>

#include "app/cli/cli_texts.h"
#include "text/code_page.h"

namespace plumex::cli {

TerminalUiPort::TerminalUiPort(std::ostream& err, bool yes)
    : err_(err), yes_(yes), terminal_(::isatty(STDERR_FILENO) == 1) {}

MsgAnswer TerminalUiPort::MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) {
  if (progress_shown_) {
    err_ << "\n";
    progress_shown_ = false;
  }
  if (icon == MsgIcon::Error) error_shown_ = true;
  err_ << Cp932ToUtf8(text);
  if (buttons == MsgButtons::Ok) {
    err_ << "\n";
    return MsgAnswer::Ok;
  }
  // A question: --yes answers it, anything else declines without waiting for a person.
  err_ << (yes_ ? " [--yes]\n" : texts::kCliAnswerWithYes);
  if (buttons == MsgButtons::OkCancel) return yes_ ? MsgAnswer::Ok : MsgAnswer::Cancel;
  if ((buttons == MsgButtons::YesNoCancel || buttons == MsgButtons::YesCancel) && !yes_) return MsgAnswer::Cancel;
  return yes_ ? MsgAnswer::Yes : MsgAnswer::No;
}

std::optional<std::string> TerminalUiPort::InputBox(const std::string&, const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<std::filesystem::path> TerminalUiPort::ChooseSaveFile(const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<std::filesystem::path> TerminalUiPort::ChooseFolder(const std::string&) { return std::nullopt; }

// The files come on the command line, never from a dialog.
std::vector<std::filesystem::path> TerminalUiPort::ChooseOpenFiles(const std::string&, bool, int) { return {}; }

void TerminalUiPort::SetStatusText(int panel, const std::string& text) {
  if (panel == 1) status_ = text;
}

void TerminalUiPort::SetProgress(int position, int maximum) {
  if (!terminal_) return;
  if (maximum <= 0) {
    if (progress_shown_) err_ << "\r\033[K" << std::flush;
    progress_shown_ = false;
    return;
  }
  err_ << "\r" << position << "/" << maximum << std::flush;
  progress_shown_ = true;
}

bool TerminalUiPort::ConfirmSend(const SendCheck& check) {
  for (const auto& warning : check.warnings) err_ << texts::kCliSendCheck << Cp932ToUtf8(warning) << "\n";
  if (check.external.empty() || confirm_external_) return true;
  std::string domains;
  for (const auto& group : check.external) {
    if (!domains.empty()) domains += ", ";
    domains += group.domain.empty() ? group.recipients.front().address : group.domain;
  }
  err_ << texts::kCliSendCheck << texts::kCliExternal1 << Cp932ToUtf8(domains) << texts::kCliExternal2;
  error_shown_ = true;
  return false;
}

}  // namespace plumex::cli
