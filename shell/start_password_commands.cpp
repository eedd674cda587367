#include "shell/start_password_commands.h"

#include <system_error>

#include "text/sjis_text.h"
#include "settings/start_password.h"
#include "shell/shell_texts.h"

namespace plumex {

void StartPasswordCommands::TurnOn() {
  UiPort& ui = shell_.Ui();
  auto answer = ui.PasswordBox(Sjis(texts::kSetPasswordCaption),
                               Sjis(texts::kSetPasswordPrompt1) + "\r\n" + Sjis(texts::kSetPasswordPrompt2));
  if (answer && answer->size() > kMaxStartPasswordBytes && IsAcceptablePassword(answer->substr(0, kMaxStartPasswordBytes))) {
    ui.MessageBox(Sjis(texts::kPasswordTooLong));
    return;
  }
  if (!answer || !IsAcceptablePassword(*answer)) {
    ui.MessageBox(Sjis(texts::kPasswordNotHalfWidth));
    return;
  }
  // Typed unseen, so typed twice: a slip of the finger must not lock the person out.
  const auto again = ui.PasswordBox(Sjis(texts::kSetPasswordCaption), Sjis(texts::kConfirmPasswordPrompt));
  if (!again) return;
  if (*again != *answer) {
    ui.MessageBox(Sjis(texts::kPasswordMismatch));
    return;
  }
  WritePasswordFile(shell_.State().MailRoot, StoredPasswordText(*answer));
  shell_.State().StartPasswordOn = true;
}

void StartPasswordCommands::TurnOff() {
  UiPort& ui = shell_.Ui();
  if (ui.MessageBox(Sjis(texts::kRemovePassword1) + "\r\n" + Sjis(texts::kRemovePassword2), MsgIcon::Warning,
                    MsgButtons::YesNoCancel) != MsgAnswer::Yes)
    return;
  std::error_code ec;
  std::filesystem::remove(PasswordFilePath(shell_.State().MailRoot), ec);
  // A file that was never there leaves the lock off all the same.
  if (ec) {
    ui.MessageBox(Sjis(texts::kPasswordFileNotRemoved));
    return;
  }
  ui.MessageBox(Sjis(texts::kPasswordFileRemoved));
  shell_.State().StartPasswordOn = false;
}

bool StartPasswordCommands::CheckAtStart() {
  UiPort& ui = shell_.Ui();
  MainState& s = shell_.State();
  const auto stored = ReadPasswordFile(s.MailRoot);
  if (!stored) {
    ui.MessageBox(Sjis(texts::kPasswordMissing));
    s.StartPasswordOn = false;
    return true;
  }
  for (;;) {
    auto answer = ui.PasswordBox(Sjis(texts::kAskPasswordCaption), Sjis(texts::kAskPasswordPrompt));
    if (!answer) return false;                      // Cancel ends the program
    if (!IsAcceptablePassword(*answer)) continue;  // not a password at all: asked again
    if (PasswordMatches(*answer, *stored)) return true;
    ui.MessageBox(Sjis(texts::kBadPassword));
    return false;
  }
}

}  // namespace plumex
