#include "receive/receive_run.h"

#include "platform/directories.h"
#include "platform/file_write_error.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "receive/receive_texts.h"
#include "receive/sender_trust.h"
#include "port/certificate_question.h"
#include "port/error_text.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "receive/known_uidls.h"
#include "receive/reassembly.h"
#include "settings/account_list.h"
#include "settings/account_login.h"
#include "store/store_layout.h"

namespace plumex {
namespace {

constexpr int kConnectAttempts = 3;
// The whole connecting phase (every attempt, greeting and log-in included) is bounded, so a
// receive from cron never hangs for long on a server that trickles.
constexpr int kConnectPhaseSeconds = 120;

bool Stopped(const ReceiveSession& session) { return session.stop_requested && session.stop_requested(); }

// Up to three attempts within the phase. An unverifiable certificate is put to the user once
// and its answer is not an attempt of its own; a refused password, a refused certificate, a
// time-out and a stop end the attempts at once, since trying again cannot help (a time-out
// would only make the user wait as long again). Nothing when connected.
std::optional<AppError> Connect(ReceiveSession& session, UiPort& ui) {
  Pop3Client& pop3 = session.pop3;
  std::optional<AppError> failure;
  ConnectionOptions& options = pop3.options();
  options.phase_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kConnectPhaseSeconds);
  options.phase_seconds = kConnectPhaseSeconds;
  for (int attempt = 0; attempt < kConnectAttempts && !pop3.IsConnected(); ++attempt) {
    try {
      ConnectAskingTrust(ui, session.state.MailRoot, [&] { pop3.Connect(); });
      break;
    } catch (const std::exception& e) {
      // "中止" closes the connection under the waiting read: whatever that read says, it was a stop.
      failure = Stopped(session) ? AppError(ErrorKind::Stopped, Sjis(texts::kReceiveStopped)) : AsAppError(e);
      const ErrorKind kind = failure->kind();
      if (kind == ErrorKind::Tls || kind == ErrorKind::Authentication || kind == ErrorKind::Stopped) break;
      if (dynamic_cast<const TimedOutError*>(&e)) break;
    }
  }
  options.phase_deadline = {};
  if (pop3.IsConnected()) return std::nullopt;
  return failure;
}

// The run's account's inbox goes on screen as it is on disk after the run: mail is filed
// there, and the screen shows what the run wrote (the run never wrote the screen's copies).
void ShowInbox(MailboxState& state, const std::string& account, ReceiveResult& result) {
  if (state.CurrentAccount != account) return;  // the screen moved on to another account
  const std::string inbox = AccountFolderPath(account);
  const auto dir = ToNativePath(state.MailRoot, inbox);
  result.folder_switched = state.CurrentFolderPath != inbox;
  state.CurrentFolderPath = inbox;
  state.CurrentAccountDir = inbox;
  state.ReceivedIds = ReceivedIdList::Open(dir / std::string(kReceivedIdListName));
  state.CurrentIndex = FolderIndex::Open(dir / std::string(kReceiveIndexName));
}

// A failure of one message's own files (a name the file system refuses): the message is left
// on the server, unrecorded, and the run goes on. A full disk, a read-only store and
// everything else end the run, as every later message would fail the same way.
bool IsMessageOwnFailure(const std::exception& e) {
  if (auto* write = dynamic_cast<const FileWriteError*>(&e)) return !IsStoreWideWriteFailure(write->error_number());
  if (auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&e))
    return !IsStoreWideWriteFailure(fs->code().value());
  return false;
}

// "次のメールは保存できなかったため、サーバに残しました。" with the message's number and id.
std::string SkippedMessageText(int n, const std::string& id, const std::exception& e) {
  return Sjis(texts::kMessageLeftOnServer) + std::to_string(n) + Sjis(texts::kMessageNumberSuffix) +
         id + "\r\n" + AsAppError(e).text();
}

void RecordFailure(const ReceiveSession& session, const std::exception& e, ReceiveResult& result) {
  AppError error = AsAppError(e);
  if (error.kind() == ErrorKind::Stopped || Stopped(session)) result.stopped = true;
  else result.error = std::move(error);
}

}  // namespace

std::string ConnectFailureText(const AppError& error) {
  const std::string& head = Sjis(texts::kConnectFailed);
  const std::string text = error.text();
  if (text.rfind(head, 0) == 0) return text;
  return head + "\r\n" + text;
}

AccountRecord ConfigurePop3(MailboxState& state, Pop3Client& pop3) {
  AccountRecord record;
  if (auto position = FindAccount(state.AccountList, state.CurrentAccount)) {
    state.AccountPosition = *position + 1;
    record = AccountRecord::Parse(state.AccountList[*position]);
  } else if (state.AccountPosition >= 1 && state.AccountPosition <= state.AccountList.size()) {
    record = AccountRecord::Parse(state.AccountList[state.AccountPosition - 1]);
  }
  ConfigurePop3For(record, pop3);
  return record;
}

void ConfigurePop3For(const AccountRecord& record, Pop3Client& pop3) {
  ConfigurePop3For(Pop3SettingsOf(record), pop3);
  SetPop3Login(record, pop3);
}

void ConfigurePop3For(const Pop3Settings& settings, Pop3Client& pop3) {
  pop3.host = settings.host;
  pop3.user_name = settings.user;
  pop3.password = settings.password;
  pop3.port = settings.port;
  pop3.use_tls = settings.implicit_tls;
}

std::string NewMailStatusText(long long count) {
  return Sjis(texts::kNewMailCount1) + std::to_string(count) + Sjis(texts::kMailCountEnd);
}

std::string ReceiveCutShortText(const ReceiveResult& result) {
  if (!result.error) return {};
  return Sjis(texts::kReceiveCutShort) + NewMailStatusText(result.new_count) + "\r\n" + result.error->text();
}

ReceiveResult ReceiveMail(ReceiveSession& session, UiPort& ui) {
  ReceiveResult result;
  MailboxState& state = session.state;
  Pop3Client& pop3 = session.pop3;
  const AccountRecord record = ConfigurePop3(state, pop3);
  // The account is fixed when the run starts; what it writes is that account's inbox.
  const std::string account = state.CurrentAccount;
  const std::string inbox = AccountFolderPath(account);
  const auto inbox_dir = ToNativePath(state.MailRoot, inbox);

  // The run's own index and fetched list, read before anything is asked of the server: a store
  // that cannot be read is told before a connection is made.
  EnsureDirectory(inbox_dir);
  FolderIndex index = FolderIndex::Open(inbox_dir / std::string(kReceiveIndexName));
  ReceivedIdList ids = ReceivedIdList::Open(inbox_dir / std::string(kReceivedIdListName));

  ui.SetModeLabel(Sjis(texts::kModeReceive), kModeGreen);
  if (auto failure = Connect(session, ui)) {
    if (failure->kind() == ErrorKind::Stopped) {
      result.stopped = true;
    } else {
      ui.MessageBox(ConnectFailureText(*failure), MsgIcon::Error);
      result.error = std::move(failure);
    }
    ui.SetProgress(0, 0);
    ui.SetModeLabel(Sjis(texts::kModeNormal), kModeAqua);
    return result;
  }
  result.connected = true;

  ParsedMessage message;
  std::vector<std::string> rows_added;
  FilingContext filing;
  KnownUidls known;
  try {
    const int count = pop3.Stat();
    known = KnownUidls::Open(inbox_dir / kKnownUidlsFileName);

    filing.mail_root = state.MailRoot;
    filing.current_folder_path = inbox;
    filing.current_account = account;
    filing.current_index = &index;
    filing.received_ids = &ids;
    filing.rules = &session.rules;
    filing.delete_after_receive = record.delete_after_receive;
    filing.forwarding = session.forwarding;
    filing.forward_queue = session.forward_queue;
    filing.folder_new_counts = &result.folder_new_counts;
    filing.pop3 = &pop3;
    filing.row_added = [&rows_added](const std::string& row) { rows_added.push_back(row); };
    filing.trusted_authserv_id = AccountAuthservId(inbox_dir, record.pop_host);
    // One LIST for all the sizes instead of a LIST per message.
    std::vector<long long> sizes;
    if (count > 0) {
      try {
        sizes = pop3.ListAll();
      } catch (const ProtocolError&) {
        if (!pop3.IsConnected()) throw;
      }
    }
    filing.sizes = &sizes;
    filing.defer_index_write = true;
    known.Plan(pop3, count, ids);

    size_t next_selected = 0;
    const bool selective = !session.selected_numbers.empty();
    for (int n = 1; n <= count; ++n) {
      ui.SetProgress(n, count);
      ui.Pump();
      message.Clear();
      if (Stopped(session)) {
        result.stopped = true;
        break;
      }
      if (selective) {
        if (next_selected >= session.selected_numbers.size()) break;
        if (session.selected_numbers[next_selected] != n) continue;
        ++next_selected;
      }
      if (known.Skip(n)) continue;  // seen through by an earlier run: no header to read
      try {
        pop3.Top(n, message);
        const size_t queued_before = session.forward_queue ? session.forward_queue->size() : 0;
        result.new_count += FileFetchedMessage(message, n, filing);
        known.Seen(n, FiledMessageId(message));
        if (session.forward_queued && session.forward_queue && session.forward_queue->size() != queued_before)
          session.forward_queued();
      } catch (const std::exception& e) {
        if (pop3.IsConnected() && !Stopped(session) && IsMessageOwnFailure(e)) {
          result.skipped.push_back(SkippedMessageText(n, message.MessageId(), e));
          continue;
        }
        // A broken connection, a refused command or a store that cannot be written ends
        // the run; what was filed stays, and the message that failed stays on the server.
        RecordFailure(session, e, result);
        QuietDisconnect(pop3);
        break;
      }
      if (selective && next_selected >= session.selected_numbers.size()) break;
    }
    ui.SetProgress(0, 0);
    // Split messages whose last piece came (in this run or an earlier one) are joined and filed.
    if (DirectoryExists(StagingDir(inbox_dir))) result.new_count += FileCompleteSets(filing);
  } catch (const std::exception& e) {
    RecordFailure(session, e, result);
  }
  try {
    if (!rows_added.empty()) AddRowsToIndexOnDisk(inbox_dir / std::string(kReceiveIndexName), rows_added);
  } catch (const std::exception& e) {
    if (!result.error) RecordFailure(session, e, result);
  }

  QuietDisconnect(pop3);
  message.Clear();
  ui.SetStatusText(1, NewMailStatusText(result.new_count));
  if (!result.skipped.empty()) {
    std::string text;
    for (const std::string& line : result.skipped) text += (text.empty() ? "" : "\r\n\r\n") + line;
    ui.MessageBox(text, MsgIcon::Warning);
  }
  if (result.new_count > 0 || filing.staged_pieces > 0) {
    try {
      ids.Save(inbox_dir / std::string(kReceivedIdListName));
    } catch (const std::exception& e) {
      if (!result.error) RecordFailure(session, e, result);
    }
  }
  try {
    known.Save(inbox_dir / kKnownUidlsFileName);
  } catch (const std::exception&) {
    // Only a saving of time is lost: the next run reads every header again.
  }
  try {
    ShowInbox(state, account, result);
  } catch (const std::exception& e) {
    if (!result.error) RecordFailure(session, e, result);
  }
  ui.SetModeLabel(Sjis(texts::kModeNormal), kModeAqua);
  return result;
}

}  // namespace plumex
