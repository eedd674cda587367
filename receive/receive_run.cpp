#include "receive/receive_run.h"

#include "platform/directories.h"
#include "platform/file_write_error.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "receive/sender_trust.h"
#include "port/certificate_question.h"
#include "port/error_text.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "receive/reassembly.h"
#include "settings/account_list.h"
#include "store/store_layout.h"

namespace plumex {
namespace {

constexpr int kConnectAttempts = 3;

// Up to three attempts. An unverifiable certificate is put to the user once and its answer
// is not an attempt of its own; a refused password, a refused certificate and a stop end the
// attempts at once, since trying again cannot help. Nothing when connected.
std::optional<AppError> Connect(ReceiveSession& session, UiPort& ui) {
  Pop3Client& pop3 = session.pop3;
  std::optional<AppError> failure;
  for (int attempt = 0; attempt < kConnectAttempts && !pop3.IsConnected(); ++attempt) {
    try {
      ConnectAskingTrust(ui, session.state.MailRoot, [&] { pop3.Connect(); });
      return std::nullopt;
    } catch (const std::exception& e) {
      // "中止" closes the connection under the waiting read: whatever that read says, it was a stop.
      failure = session.state.StopRequested ? AppError(ErrorKind::Stopped, Sjis("中止しました。")) : AsAppError(e);
      const ErrorKind kind = failure->kind();
      if (kind == ErrorKind::Tls || kind == ErrorKind::Authentication || kind == ErrorKind::Stopped) break;
    }
  }
  if (pop3.IsConnected()) return std::nullopt;
  return failure;
}

void ReloadCurrentIndex(MailboxState& state) {
  auto dir = ToNativePath(state.MailRoot, state.CurrentFolderPath);
  state.CurrentIndex = FolderIndex::Open(dir / std::string(kReceiveIndexName));
}

void SetUpPop3(ReceiveSession& session, AccountRecord& record) { record = ConfigurePop3(session.state, session.pop3); }

// Mail is filed in the account's inbox, which becomes the folder on screen.
void SwitchToInbox(MailboxState& state, ReceiveResult& result) {
  const std::string inbox = AccountFolderPath(state.CurrentAccount);
  if (state.CurrentFolderPath == inbox) return;
  state.CurrentFolderPath = inbox;
  state.CurrentAccountDir = inbox;
  state.ReceivedIds = ReceivedIdList::Open(ToNativePath(state.MailRoot, inbox) / std::string(kReceivedIdListName));
  ReloadCurrentIndex(state);
  result.folder_switched = true;
}

// Ends the session; a QUIT that fails changes nothing for mail already filed.
void QuietDisconnect(Pop3Client& pop3) {
  try {
    if (pop3.IsConnected()) pop3.Disconnect();
  } catch (const std::exception&) {
  }
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
  return Sjis("次のメールは保存できなかったため、受信せずにサーバに残しました: ") + std::to_string(n) + Sjis("番目 ") +
         id + "\r\n" + AsAppError(e).text();
}

void RecordFailure(const MailboxState& state, const std::exception& e, ReceiveResult& result) {
  AppError error = AsAppError(e);
  if (error.kind() == ErrorKind::Stopped || state.StopRequested) result.stopped = true;
  else result.error = std::move(error);
}

}  // namespace

std::string ConnectFailureText(const AppError& error) {
  const std::string& head = Sjis("接続できませんでした。");
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
  pop3.host = record.pop_host;
  pop3.user_name = record.user;
  pop3.password = record.password;
  pop3.port = ParsePort(record.pop_port).value_or(record.pop_ssl ? 995 : 110);
  pop3.use_tls = record.pop_ssl;
}

std::string NewMailStatusText(long long count) {
  return Sjis("新着メールは") + std::to_string(count) + Sjis("件です。");
}

std::string ReceiveCutShortText(const ReceiveResult& result) {
  if (!result.error) return {};
  return Sjis("受信が途中で終わりました。") + NewMailStatusText(result.new_count) + "\r\n" + result.error->text();
}

ReceiveResult ReceiveMail(ReceiveSession& session, UiPort& ui) {
  ReceiveResult result;
  MailboxState& state = session.state;
  Pop3Client& pop3 = session.pop3;
  // A stop pressed during an earlier run belongs to that run.
  state.StopRequested = false;
  AccountRecord record;
  SetUpPop3(session, record);

  ui.SetModeLabel(Sjis("受信"), kModeGreen);
  if (!state.CurrentFolderPath.empty()) ReloadCurrentIndex(state);

  if (auto failure = Connect(session, ui)) {
    if (failure->kind() == ErrorKind::Stopped) {
      result.stopped = true;
    } else {
      ui.MessageBox(ConnectFailureText(*failure), MsgIcon::Error);
      result.error = std::move(failure);
    }
    ui.SetProgress(0, 0);
    ui.SetModeLabel(Sjis("通常"), kModeAqua);
    return result;
  }
  result.connected = true;

  ParsedMessage message;
  bool appended = false;
  FilingContext filing;
  try {
    const int count = pop3.Stat();
    SwitchToInbox(state, result);

    filing.mail_root = state.MailRoot;
    filing.current_folder_path = state.CurrentFolderPath;
    filing.current_account = state.CurrentAccount;
    filing.current_index = &state.CurrentIndex;
    filing.received_ids = &state.ReceivedIds;
    filing.rules = &session.rules;
    filing.delete_after_receive = record.delete_after_receive;
    filing.forwarding = session.forwarding;
    filing.forward_queue = session.forward_queue;
    filing.folder_new_counts = &result.folder_new_counts;
    filing.pop3 = &pop3;
    filing.trusted_authserv_id =
        AccountAuthservId(ToNativePath(state.MailRoot, state.CurrentAccountDir), record.pop_host);
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

    size_t next_selected = 0;
    const bool selective = !session.selected_numbers.empty();
    for (int n = 1; n <= count; ++n) {
      ui.SetProgress(n, count);
      ui.Pump();
      message.Clear();
      if (state.StopRequested) {
        result.stopped = true;
        break;
      }
      if (selective) {
        if (next_selected >= session.selected_numbers.size()) break;
        if (session.selected_numbers[next_selected] != n) continue;
        ++next_selected;
      }
      try {
        pop3.Top(n, message);
        size_t rows_before = state.CurrentIndex.Size();
        result.new_count += FileFetchedMessage(message, n, filing);
        appended = appended || state.CurrentIndex.Size() != rows_before;
      } catch (const std::exception& e) {
        if (pop3.IsConnected() && !state.StopRequested && IsMessageOwnFailure(e)) {
          result.skipped.push_back(SkippedMessageText(n, message.MessageId(), e));
          continue;
        }
        // A broken connection, a refused command or a store that cannot be written ends
        // the run; what was filed stays, and the message that failed stays on the server.
        RecordFailure(state, e, result);
        QuietDisconnect(pop3);
        break;
      }
      if (selective && next_selected >= session.selected_numbers.size()) break;
    }
    ui.SetProgress(0, 0);
    // Split messages whose last piece came (in this run or an earlier one) are joined and filed.
    if (DirectoryExists(StagingDir(ToNativePath(state.MailRoot, state.CurrentFolderPath))))
      result.new_count += FileCompleteSets(filing);
  } catch (const std::exception& e) {
    RecordFailure(state, e, result);
  }
  try {
    if (appended) FinishDeferredIndex(filing);
  } catch (const std::exception& e) {
    if (!result.error) RecordFailure(state, e, result);
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
      state.ReceivedIds.Save(ToNativePath(state.MailRoot, state.CurrentAccountDir) / std::string(kReceivedIdListName));
    } catch (const std::exception& e) {
      if (!result.error) RecordFailure(state, e, result);
    }
  }
  ui.SetModeLabel(Sjis("通常"), kModeAqua);
  return result;
}

}  // namespace plumex
