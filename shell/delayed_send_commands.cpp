#include "shell/delayed_send_commands.h"

#include <charconv>

#include "text/sjis_text.h"
#include "port/error_text.h"
#include "shell/merge_texts.h"
#include "shell/shell_texts.h"

namespace plumex {

// At most a year ahead: a longer delay is no delay anyone means, and keeps the time in range.
constexpr long long kMaxDelayMinutes = 366LL * 24 * 60;

long long DelayMinutes(const std::string& text) {
  long long minutes = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), minutes);
  if (ec == std::errc::result_out_of_range && !text.empty() && text.front() != '-') return kMaxDelayMinutes;
  if (ec != std::errc() || end != text.data() + text.size() || minutes <= 0) return 0;
  return std::min(minutes, kMaxDelayMinutes);
}

DelayedSendCommands::DelayedSendCommands(MainShell& shell, const SendRuleList& send_rules)
    : shell_(shell), send_rules_(send_rules), queue_(shell.State().MailRoot) {}

QueueEntry DelayedSendCommands::Enqueue(const SendRequest& request, const std::string& delay_text, long long minutes) {
  QueueEntry entry = queue_.Enqueue(request, minutes);
  UiPort& ui = shell_.Ui();
  ui.MessageBox(delay_text + Sjis(texts::kDelayQueued), MsgIcon::Information);
  shell_.State().DelayedSendLabelShown = true;
  ui.DelayedSendChanged(true);
  return entry;
}

void DelayedSendCommands::Sent(const SendResult& result) {
  UiPort& ui = shell_.Ui();
  ui.SetStatusText(1, Sjis(texts::kSent));
  if (result.copy_error) untold_.push_back(SentButNotFiledText(*result.copy_error));
}

QueueTickResult DelayedSendCommands::Tick() {
  QueueTickResult result;
  // A tick that comes while another command (or a send of the last tick) pumps the window
  // waits for the next, without a word; the queue stays as it is.
  auto run = shell_.Gate().TryEnter(RunKind::Queue);
  if (!run || running_) {
    result.active = queue_.Active();
    return result;
  }
  running_ = true;
  UiPort& ui = shell_.Ui();
  MainState& s = shell_.State();
  SendQueue::Sender send = sender_;
  if (!send) {
    send = [&](const SendRequest& request) {
      SendContext context;
      context.mail_root = s.MailRoot;
      context.send_rules = send_rules_.Lines();
      context.connection = shell_.RunConnection(*run);
      Sent(SendMail(request, context, ui));
    };
  }
  try {
    result = queue_.RunDue(send);
  } catch (...) {
    running_ = false;
    throw;
  }
  running_ = false;
  if (result.sent > 0) shell_.RefreshSendSide();
  for (int i = 0; i < result.missing; ++i) ui.MessageBox(Sjis(texts::kQueueFileMissing));
  for (const auto& [entry, error] : result.failed) {
    ui.SetStatusText(1, Sjis(texts::kQueueSendFailed));
    if (told_.insert(entry.folder).second) untold_.push_back(Sjis(texts::kQueueSendFailed) + "\r\n" + error.text());
  }
  if (!result.sent_merges.empty()) ui.MergeSent();
  s.DelayedSendLabelShown = result.active;
  ui.DelayedSendChanged(result.active);
  return result;
}

bool DelayedSendCommands::CancelAll() {
  if (!queue_.Active()) return false;
  if (shell_.Ui().MessageBox(Sjis(texts::kQueueCancel), MsgIcon::Warning, MsgButtons::OkCancel) != MsgAnswer::Ok)
    return false;
  queue_.CancelAll();
  told_.clear();
  shell_.State().DelayedSendLabelShown = false;
  shell_.Ui().DelayedSendChanged(false);
  return true;
}

std::vector<std::string> DelayedSendCommands::TakeUntold() { return std::exchange(untold_, {}); }

}  // namespace plumex
