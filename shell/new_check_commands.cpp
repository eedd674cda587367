#include "shell/new_check_commands.h"

#include <algorithm>
#include <utility>

#include "text/sjis_text.h"
#include "port/error_text.h"
#include "protocol/pop3_client.h"
#include "send/compose_lists.h"
#include "send/send_mail.h"
#include "settings/account_list.h"
#include "shell/compose.h"
#include "shell/receive_commands.h"
#include "shell/settings_commands.h"
#include "shell/shell_texts.h"
#include "store/store_texts.h"

namespace plumex {
namespace {

// The failed forward as the user reads it, once.
std::string ForwardFailureText(const ForwardFailure& failure) {
  std::string text = Sjis(texts::kForwardFailed);
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
      use_account_(std::move(use_account)) {}

bool NewCheckCommands::Active() const { return settings_.StartFlag(); }

// ChooseTargetFolder's forwarding mode: the check runs, receives all mail of an account and
// forwards it. The start flag alone (set at start-up by "起動時に新着チェックをする") is not
// enough: a receive of plumex-cli, where no check runs, files by the rules as ever.
bool NewCheckCommands::ForwardingMode() const {
  const NewCheckSettings& s = settings_.NewCheck();
  return running_ && Active() && s.receive_all && s.forward;
}

std::string NewCheckCommands::StatusText() const {
  return Sjis(texts::kNewCheckStatus1) + settings_.NewCheck().interval + Sjis(texts::kNewCheckStatus2);
}

void NewCheckCommands::ShowWaiting() {
  shell_.Ui().SetModeLabel(Sjis(texts::kModeNewCheck), kModeWhite);
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
  running_ = true;
  ShowWaiting();
  return ParseCheckInterval(settings_.NewCheck().interval);
}

NewCheckTickResult NewCheckCommands::Tick() {
  NewCheckTickResult result;
  MainState& s = shell_.State();
  if (s.AccountList.empty() || !Active()) return result;  // nothing to poll: the timer stays off
  // A tick that finds another command running waits for the next one, without a word.
  if (shell_.Gate().Busy()) {
    result.restart = true;
    return result;
  }
  UiPort& ui = shell_.Ui();
  ShowWaiting();
  ticking_ = true;
  bool stopped = false;
  try {
    const NewCheckSettings& settings = settings_.NewCheck();
    if (settings.receive_all) {
      // The chosen account comes into use (its sender in the compose window); a name that
      // matches none receives for the account in use. It is chosen before the run starts: the
      // account in use never changes under a run.
      if (FindAccount(s.AccountList, settings.receive_account) && use_account_) {
        use_account_(settings.receive_account);
        compose_.FillSenders();
      }
      auto run = shell_.Gate().TryEnter(RunKind::NewCheck);
      if (run) {
        result.received = ReceiveAndForwardIn(*run, ForwardingMode()).new_count;
        stopped = run->StopRequested();
      }
      ShowWaiting();
    } else if (auto run = shell_.Gate().TryEnter(RunKind::NewCheck)) {
      // A connection of its own: the count-only poll never touches the one a server delete
      // mode holds open.
      Pop3Client pop3(shell_.RunConnection(*run));
      check_.SetStopCheck(run->StopCheck());
      result.rows = check_.CheckAllAccounts(s, pop3, ui);
      check_.SetStopCheck(nullptr);
      stopped = run->StopRequested();
      // An account the check could not do is told; the next tick comes as usual.
      if (!check_.Unreachable().empty()) ui.SetStatusText(0, check_.FailureText());
    }
  } catch (const std::exception& e) {
    // Nothing may end the check while the window waits hidden: the failure is told in the
    // status bar and the next tick comes as usual.
    ui.SetStatusText(0, AsAppError(e).text());
  }
  ticking_ = false;
  if (std::exchange(forget_after_tick_, false)) check_.Forget();
  result.forward_failures = TakeForwardFailures();
  result.restart = Active() && !stopped;
  return result;
}

void NewCheckCommands::Finish() {
  // The check's own run ends; a command the user started meanwhile goes on.
  const auto kind = shell_.Gate().CurrentKind();
  shell_.Gate().StopRun(RunKind::NewCheck);
  running_ = false;
  settings_.SetStartFlag(false);
  shell_.Ui().MessageBox(Sjis(texts::kNewCheckStopped));
  if (!kind || *kind == RunKind::NewCheck) receiving_.StopReceiving();
  // A tick still polling holds what it remembers: it is forgotten once the tick has unwound.
  if (ticking_) forget_after_tick_ = true;
  else check_.Forget();
}

ReceiveResult NewCheckCommands::ReceiveAndForward() {
  auto run = shell_.Gate().TryEnter(RunKind::Receive);
  if (!run) return {};
  // A receive the user starts files by the rules: forwarding belongs to the check's runs.
  return ReceiveAndForwardIn(*run, false);
}

ReceiveResult NewCheckCommands::ReceiveAndForwardIn(const RunGate::Run& run, bool forwarding) {
  // Forwards still owed from an earlier run stay owed: their messages are filed already, so
  // no run would queue them again. Each message queued is owed on disk as soon as it is filed,
  // so a program that ends during the run forgets none.
  const std::filesystem::path& root = shell_.State().MailRoot;
  const std::string account = shell_.State().CurrentAccount;
  OwedForwards owed = LoadOwedForwards(root);
  std::vector<std::string> queued;
  auto keep_queued = [&] {
    auto& ids = owed[account];
    for (std::string& id : queued)
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(std::move(id));
    queued.clear();
    SaveOwedForwards(root, owed);
  };
  ReceiveResult result = receiving_.ReceiveIn(run, {}, forwarding ? &queued : nullptr, keep_queued);
  if (!queued.empty()) keep_queued();
  if (!owed.empty() && !run.StopRequested()) ForwardQueuedNow(run, owed);
  return result;
}

std::vector<std::string> NewCheckCommands::OwedForwardIds() const {
  std::vector<std::string> ids;
  for (const auto& [account, owed] : LoadOwedForwards(shell_.State().MailRoot))
    ids.insert(ids.end(), owed.begin(), owed.end());
  return ids;
}

std::vector<std::string> NewCheckCommands::TakeForwardFailures() { return std::exchange(untaken_failures_, {}); }

void NewCheckCommands::ForwardQueuedNow(const RunGate::Run& run, OwedForwards& owed) {
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
    request.settings.push_back(Sjis(texts::kLineFrom) + account.address);
    request.headers = message.headers;
    request.forward_mode = true;
    request.attachments = message.attachments;
    request.body = message.body;
    request.forward_address = forward_address;
    SendContext context;
    context.mail_root = s.MailRoot;
    context.send_rules = send_rules_.Lines();
    context.connection = shell_.RunConnection(run);
    SendMail(request, context, ui);
    shell_.RefreshSendSide();
    ui.SetStatusText(1, Sjis(texts::kSent));
  };
  for (auto it = owed.begin(); it != owed.end();) {
    const ForwardOutcome outcome = ForwardQueued(it->second, {s.MailRoot, it->first}, send, run.StopCheck());
    for (const ForwardFailure& failure : outcome.failures) {
      if (!failure_told_.insert(failure.id).second) continue;
      const std::string text = ForwardFailureText(failure);
      ui.SetStatusText(0, text.substr(0, text.find("\r\n")));
      untaken_failures_.push_back(text);
    }
    it = it->second.empty() ? owed.erase(it) : std::next(it);
  }
  SaveOwedForwards(s.MailRoot, owed);
}

}  // namespace plumex
