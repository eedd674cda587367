#include "shell/new_check_commands.h"

#include <utility>

#include "platform/sjis_text.h"
#include "port/error_text.h"
#include "protocol/pop3_client.h"
#include "send/compose_lists.h"
#include "send/send_mail.h"
#include "settings/account_list.h"
#include "shell/compose.h"
#include "shell/receive_commands.h"
#include "shell/settings_commands.h"

namespace plumex {
namespace {

constexpr Rgb kModeWhite = 0xFFFFFF;

// The failed forward as the user reads it, once.
std::string ForwardFailureText(const ForwardFailure& failure) {
  std::string text = Sjis("自動転送できませんでした（次回の確認で再送します）: ");
  text += failure.subject.empty() ? failure.id : failure.subject;
  const std::string reason = failure.error.text();
  if (!reason.empty()) text += "\r\n" + reason;
  return text;
}

}  // namespace

NewCheckCommands::NewCheckCommands(MainShell& shell, ReceiveCommands& receiving, SettingsCommands& settings,
                                   ComposeCommands& compose, const SendRuleList& send_rules,
                                   std::function<bool(const std::string&)> use_account)
    : shell_(shell),
      receiving_(receiving),
      settings_(settings),
      compose_(compose),
      send_rules_(send_rules),
      use_account_(std::move(use_account)) {
  receiving_.SetForwarding([this] { return ForwardingMode(); }, &forward_queue_);
}

bool NewCheckCommands::Active() const { return settings_.StartFlag(); }

// ChooseTargetFolder's forwarding mode: the check runs, receives all mail of an account and
// forwards it. The start flag alone (set at start-up by "起動時に新着チェックをする") is not
// enough: a receive of plumex-cli, where no check runs, files by the rules as ever.
bool NewCheckCommands::ForwardingMode() const {
  const NewCheckSettings& s = settings_.NewCheck();
  return running_ && Active() && s.receive_all && s.forward;
}

std::string NewCheckCommands::StatusText() const {
  return Sjis("新着ﾁｪｯｸ中（") + settings_.NewCheck().interval + Sjis("秒間隔）");
}

void NewCheckCommands::ShowWaiting() {
  shell_.Ui().SetModeLabel(Sjis("新着"), kModeWhite);
  shell_.Ui().SetStatusText(1, StatusText());
}

std::optional<int> NewCheckCommands::Start(StartKind kind) {
  if (kind == StartKind::Continue) settings_.SetStartFlag(true);
  if (!Active()) return std::nullopt;
  // Checked before anything is hidden: a word in the interval box would otherwise leave the
  // window hidden with no check running.
  if (auto problem = CheckNewCheckInterval(settings_.NewCheck())) {
    settings_.SetStartFlag(false);
    shell_.Ui().MessageBox(problem->message, MsgIcon::Warning);
    return std::nullopt;
  }
  shell_.State().StopRequested = false;
  running_ = true;
  ShowWaiting();
  return ParseCheckInterval(settings_.NewCheck().interval);
}

NewCheckTickResult NewCheckCommands::Tick() {
  NewCheckTickResult result;
  MainState& s = shell_.State();
  if (s.AccountList.empty() || !Active()) return result;  // nothing to poll: the timer stays off
  UiPort& ui = shell_.Ui();
  ShowWaiting();
  ticking_ = true;
  try {
    const NewCheckSettings& settings = settings_.NewCheck();
    if (settings.receive_all) {
      // The chosen account comes into use (its sender in the compose window); a name that
      // matches none receives for the account in use.
      if (FindAccount(s.AccountList, settings.receive_account) && use_account_) {
        use_account_(settings.receive_account);
        compose_.FillSenders();
      }
      result.received = ReceiveAndForward().new_count;
      ShowWaiting();
    } else {
      result.rows = check_.CheckAllAccounts(s, shell_.Pop3(), ui);
    }
  } catch (const std::exception& e) {
    // Nothing may end the check while the window waits hidden: the failure is told in the
    // status bar and the next tick comes as usual.
    ui.SetStatusText(0, AsAppError(e).text());
  }
  ticking_ = false;
  if (std::exchange(forget_after_tick_, false)) check_.Forget();
  result.forward_failures = TakeForwardFailures();
  result.restart = Active() && !s.StopRequested;
  return result;
}

void NewCheckCommands::Finish() {
  MainState& s = shell_.State();
  s.StopRequested = true;
  running_ = false;
  settings_.SetStartFlag(false);
  shell_.Ui().MessageBox(Sjis("新着チェックを中断します。"));
  receiving_.StopReceiving();
  // A tick still polling holds what it remembers: it is forgotten once the tick has unwound.
  if (ticking_) forget_after_tick_ = true;
  else check_.Forget();
}

ReceiveResult NewCheckCommands::ReceiveAndForward() {
  // Forwards still owed from an earlier run stay owed: their messages are filed already, so
  // no run would queue them again.
  ReceiveResult result = receiving_.Receive();
  if (!forward_queue_.empty()) {
    auto& owed = owed_[shell_.State().CurrentAccount];
    owed.insert(owed.end(), forward_queue_.begin(), forward_queue_.end());
    forward_queue_.clear();
  }
  if (!owed_.empty()) ForwardQueuedNow();
  return result;
}

std::vector<std::string> NewCheckCommands::OwedForwards() const {
  std::vector<std::string> ids;
  for (const auto& [account, owed] : owed_) ids.insert(ids.end(), owed.begin(), owed.end());
  return ids;
}

std::vector<std::string> NewCheckCommands::TakeForwardFailures() { return std::exchange(untaken_failures_, {}); }

void NewCheckCommands::ForwardQueuedNow() {
  MainState& s = shell_.State();
  UiPort& ui = shell_.Ui();
  // The account chosen as the sender in the compose window, else the one in use, with its
  // own SMTP security: STARTTLS (or TLS on 465) when its flag is on, as every send.
  const ComposeContent& c = compose_.Content();
  size_t position = s.AccountPosition - 1;
  if (c.sender_index >= 0 && static_cast<size_t>(c.sender_index) < s.AccountList.size())
    position = static_cast<size_t>(c.sender_index);
  if (position >= s.AccountList.size()) return;
  const AccountRecord account = AccountRecord::Parse(s.AccountList[position]);
  const std::string forward_address = settings_.NewCheck().forward_address;

  auto send = [&](const ForwardMessage& message) {
    SendRequest request;
    request.settings = BuildSmtpSettingList(account);
    request.settings.push_back(Sjis("差出人:") + account.address);
    request.headers = message.headers;
    request.forward_mode = true;
    request.attachments = message.attachments;
    request.body = message.body;
    request.forward_address = forward_address;
    SendContext context;
    context.mail_root = s.MailRoot;
    context.send_rules = send_rules_.Lines();
    context.connection.mail_root = s.MailRoot;
    context.connection.pump = [&ui] { ui.Pump(); };
    context.connection.stop_requested = [&s] { return s.StopRequested; };
    SendMail(request, context, ui);
    shell_.RefreshSendSide();
    ui.SetStatusText(1, Sjis("送信しました"));
  };
  for (auto it = owed_.begin(); it != owed_.end();) {
    const ForwardOutcome outcome =
        ForwardQueued(it->second, {s.MailRoot, it->first}, send, [&s] { return s.StopRequested; });
    for (const ForwardFailure& failure : outcome.failures) {
      if (!failure_told_.insert(failure.id).second) continue;
      const std::string text = ForwardFailureText(failure);
      ui.SetStatusText(0, text.substr(0, text.find("\r\n")));
      untaken_failures_.push_back(text);
    }
    it = it->second.empty() ? owed_.erase(it) : std::next(it);
  }
}

}  // namespace plumex
