#include "shell/server_delete_commands.h"

#include <algorithm>
#include <cctype>

#include "text/sjis_text.h"
#include "port/certificate_question.h"
#include "port/error_text.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/receive_texts.h"
#include "settings/deletion_candidates.h"
#include "shell/shell_texts.h"
#include "store/index_row.h"
#include "store/store_texts.h"

namespace plumex {
namespace {

std::string RowOf(const ServerMessage& m) {
  IndexRow row{m.message_id,
               RowField(m.subject),
               RowField(m.sender),
               m.date,
               m.size >= 0 ? std::to_string(m.size) : std::string(),
               m.attachment ? "1" : "2",
               "2",
               m.candidate ? std::string(kCandidatePriority) : m.high_priority ? "1" : "2",
               std::nullopt};
  return row.ToLine();
}

// A whole decimal number (surrounding spaces allowed); nothing for any other text.
std::optional<int> ParseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Sorted, each number once.
std::vector<int> Ascending(std::vector<int> numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace

ServerDeleteCommands::ServerDeleteCommands(MainShell& shell, ReceiveCommands& receive, DeletionCandidates& candidates)
    : shell_(shell), receive_(receive), candidates_(candidates) {}

bool ServerDeleteCommands::ConnectOnce(const RunGate::Run& run) {
  MainState& s = shell_.State();
  Pop3Client& pop3 = shell_.Pop3();
  ConfigurePop3(s, pop3);
  if (pop3.IsConnected()) return true;
  try {
    ConnectAskingTrust(shell_.Ui(), s.MailRoot, [&] { pop3.Connect(); });
    return true;
  } catch (const std::exception& e) {
    if (!run.StopRequested()) shell_.Ui().MessageBox(ConnectFailureText(AsAppError(e)), MsgIcon::Error);
    return false;
  }
}

bool ServerDeleteCommands::StopsListing() {
  if (!listing_) return false;
  shell_.Gate().StopRun(RunKind::ServerDelete);
  return true;
}

bool ServerDeleteCommands::EnterDeleteMode() {
  MainState& s = shell_.State();
  UiPort& ui = shell_.Ui();
  if (StopsListing()) return false;
  auto run = shell_.Gate().TryEnter(RunKind::ServerDelete);
  if (!run || !ConnectOnce(*run)) return false;

  shell_.ClearMessageView();
  listed_.clear();
  s.ViewMode = ViewModes::ServerDelete;
  ui.SetModeLabel(Sjis(texts::kModeServerDelete), kModeMagenta);

  // A copy of the live lists: the settings dialog's changes count from the next listing.
  const CandidateTest candidates(receive_.Rules(), candidates_.Hosts());
  listing_ = true;
  ServerListing listing;
  try {
    listing = ListServerMailbox(shell_.Pop3(), candidates, ui, run->StopFlag());
  } catch (...) {
    listing_ = false;
    throw;
  }
  listing_ = false;
  listed_ = std::move(listing.messages);
  FillList();
  // A failed header fetch keeps the rows so far, the connection closed and the status as it was.
  if (listing.error) return false;
  if (listing.stopped) {
    shell_.DisconnectPop3();
    s.ViewMode = ViewModes::Normal;
    ui.SetStatusText(1, "");
    return false;
  }
  ui.SetStatusText(1, DeleteModeStatusText(listing.count));
  return true;
}

void ServerDeleteCommands::FillList() {
  if (!shell_.Ui().ShowsMessageList()) return;
  MessageList& list = shell_.List();
  list.BeginFill(listed_.size());
  for (const ServerMessage& m : listed_) list.AddRow(RowOf(m), false);
  list.EndFill();
}

std::vector<ServerMessage> ServerDeleteCommands::SelectedMessages() const {
  std::vector<ServerMessage> chosen;
  for (size_t row : shell_.List().Selection())
    if (row < listed_.size()) chosen.push_back(listed_[row]);
  return chosen;
}

void ServerDeleteCommands::Relist() {
  shell_.DisconnectPop3();
  EnterDeleteMode();
}

void ServerDeleteCommands::ShowMissing(const std::vector<ServerMessage>& missing, bool receiving) {
  if (missing.empty()) return;
  std::string text = Sjis(receiving ? texts::kServerChangedNotReceived : texts::kServerChangedNotDeleted);
  for (const ServerMessage& m : missing) {
    text += "\r\n";
    if (!m.subject.empty() || !m.sender.empty()) text += m.subject + " (" + m.sender + ")";
    else text += "UIDL " + m.uidl;
  }
  shell_.Ui().MessageBox(text, MsgIcon::Warning);
}

std::optional<DeleteOutcome> ServerDeleteCommands::DeleteMessages(const std::vector<ServerMessage>& targets) {
  auto run = shell_.Gate().TryEnter(RunKind::ServerDelete);
  if (!run) return std::nullopt;
  Pop3Client& pop3 = shell_.Pop3();
  shell_.DisconnectPop3();
  if (!ConnectOnce(*run)) return std::nullopt;
  DeleteOutcome outcome;
  try {
    outcome = DeleteListed(pop3, targets);
  } catch (...) {
    // A broken line: without QUIT the server deletes nothing.
    shell_.DisconnectPop3();
    throw;
  }
  QuietDisconnect(pop3);
  if (outcome.refused) {
    shell_.Ui().MessageBox(outcome.refused->text() + "\r\n" + Sjis(texts::kDeletedCount) +
                               std::to_string(outcome.deleted) + Sjis(texts::kMailCountEnd),
                           MsgIcon::Error);
  }
  ShowMissing(outcome.missing, false);
  return outcome;
}

std::string ServerDeleteQuestion(size_t count) {
  return Sjis(texts::kServerDelete1) + std::to_string(count) + Sjis(texts::kServerDelete2) + "\r\n" +
         Sjis(texts::kServerDelete3);
}

void ServerDeleteCommands::DeleteSelected() {
  if (!InMode() || StopsListing()) return;
  const std::vector<ServerMessage> targets = SelectedMessages();
  if (targets.empty()) return;
  // Mail deleted on the server is gone for good: the person confirms the rows chosen.
  if (shell_.Ui().MessageBox(ServerDeleteQuestion(targets.size()), MsgIcon::Question, MsgButtons::YesNo) !=
      MsgAnswer::Yes)
    return;
  DeleteMessages(targets);
  Relist();
}

void ServerDeleteCommands::DeleteCandidates() {
  if (!InMode() || StopsListing()) return;
  std::vector<ServerMessage> targets;
  std::copy_if(listed_.begin(), listed_.end(), std::back_inserter(targets),
               [](const ServerMessage& m) { return m.candidate; });
  if (!targets.empty()) DeleteMessages(targets);
  Relist();
}

void ServerDeleteCommands::MarkSelected(bool candidate) {
  if (!InMode() || StopsListing()) return;
  const std::vector<ServerMessage> chosen = SelectedMessages();
  if (chosen.empty()) return;
  // The servers come from the headers of the listing: nothing is fetched by a number again.
  std::vector<std::string> servers;
  for (const ServerMessage& m : chosen) servers.push_back(m.server);
  // The live list changes, so the settings dialog shows it, and is written once.
  std::vector<std::string> hosts = candidates_.Hosts();
  if (candidate) AddCandidateServers(hosts, servers);
  else RemoveCandidateServers(hosts, servers);
  candidates_.Hosts() = std::move(hosts);
  candidates_.Save(shell_.State().MailRoot);
  Relist();
}

void ServerDeleteCommands::DeleteByNumber() {
  UiPort& ui = shell_.Ui();
  Pop3Client& pop3 = shell_.Pop3();
  if (StopsListing()) return;
  const auto answer = ui.InputBox(Sjis(texts::kDeleteByNumberCaption), Sjis(texts::kDeleteByNumberPrompt), "");
  if (!answer || answer->empty()) return;
  const bool in_mode = InMode();
  const auto number = ParseNumber(*answer);
  if (!number) {
    shell_.DisconnectPop3();
    ui.MessageBox(Sjis(texts::kNotANumber));
    if (in_mode) Relist();
    return;
  }
  {
  auto run = shell_.Gate().TryEnter(RunKind::ServerDelete);
  if (!run) return;
  if (!ConnectOnce(*run)) {
    run.reset();
    if (in_mode) shell_.LeaveServerDelete();
    return;
  }
  try {
    // The user sees which message the number names before anything is deleted; within the
    // one session the number cannot come to name another.
    ParsedMessage header;
    pop3.Top(*number, header);
    const ServerMessage m = DescribeServerMessage(header, *number, CandidateTest(RuleList(), {}));
    const std::string question = Sjis(texts::kDeleteThisMessage) + "\r\n\r\n" + Sjis(texts::kLineSubject) + m.subject +
                                 "\r\n" + Sjis(texts::kLineFrom) + m.sender;
    if (ui.MessageBox(question, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes) {
      pop3.Delete(*number);
      QuietDisconnect(pop3);
      ui.MessageBox(Sjis(texts::kDeleteDone));
    }
  } catch (const std::exception& e) {
    // A "-ERR" shows the server's reply; a broken line what happened to it.
    shell_.DisconnectPop3();
    ui.MessageBox(AsAppError(e).text(), MsgIcon::Error);
  }
  QuietDisconnect(pop3);
  }  // the run ends before the listing, which is a run of its own
  if (in_mode) Relist();
}

std::optional<ServerDeleteCommands::ReceiveOutcome> ServerDeleteCommands::ReceiveMessages(
    const std::vector<ServerMessage>& targets) {
  MainState& s = shell_.State();
  auto run = shell_.Gate().TryEnter(RunKind::Receive);
  if (!run) return std::nullopt;
  Pop3Client& pop3 = shell_.Pop3();
  shell_.DisconnectPop3();
  if (!ConnectOnce(*run)) {
    shell_.LeaveServerDelete();
    return std::nullopt;
  }
  std::vector<std::optional<int>> where;
  try {
    where = LocateListed(pop3, targets);
  } catch (...) {
    shell_.DisconnectPop3();
    throw;
  }
  std::vector<int> numbers;
  ReceiveOutcome outcome;
  for (size_t i = 0; i < targets.size(); ++i) {
    if (where[i]) numbers.push_back(*where[i]);
    else outcome.missing.push_back(targets[i]);
  }
  ShowMissing(outcome.missing, true);
  if (numbers.empty()) {
    // Nothing left to fetch: an empty choice would mean every message.
    shell_.LeaveServerDelete();
    return outcome;
  }
  listed_.clear();
  s.ViewMode = ViewModes::SelectiveReceive;
  outcome.result = receive_.ReceiveIn(*run, Ascending(std::move(numbers)));
  return outcome;
}

void ServerDeleteCommands::ReceiveSelected() {
  UiPort& ui = shell_.Ui();
  if (!InMode()) {
    ui.MessageBox(Sjis(texts::kEnterDeleteModeFirst));
    return;
  }
  const std::vector<ServerMessage> chosen = SelectedMessages();
  if (chosen.empty()) {
    ui.MessageBox(Sjis(texts::kNothingToReceive));
    return;
  }
  if (StopsListing()) return;
  ReceiveMessages(chosen);
}

}  // namespace plumex
