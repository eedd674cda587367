#include "receive/receive_run.h"

#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "protocol/trusted_certs.h"
#include "settings/account_list.h"
#include "store/store_layout.h"

namespace plumex {
namespace {

constexpr int kConnectAttempts = 3;

// Up to three attempts; a certificate that fails verification is put to the user once.
bool Connect(ReceiveSession& session, ReceiveHooks& hooks) {
  bool asked = false;
  for (int attempt = 0; attempt < kConnectAttempts && !session.pop3->IsConnected(); ++attempt) {
    try {
      session.pop3->Connect();
    } catch (const CertificateError& e) {
      if (asked || !hooks.AskTrustCertificate(CertificateQuestion(e))) return false;
      asked = true;
      TrustCertificate(session.mail_root, e.host(), e.port(), e.fingerprint());
      --attempt;  // the answer is not an attempt of its own
    } catch (const std::exception&) {
      // swallowed: the next attempt follows at once
    }
  }
  return session.pop3->IsConnected();
}

void ReloadCurrentIndex(ReceiveSession& session, ReceiveHooks& hooks) {
  auto dir = ToNativePath(session.mail_root, *session.current_folder_path);
  *session.current_index = FolderIndex::Open(dir / std::string(kReceiveIndexName));
  hooks.FolderReloaded();
}

}  // namespace

std::string NewMailStatusText(long long count) {
  return Sjis("新着メールは") + std::to_string(count) + Sjis("件です。");
}

ReceiveResult ReceiveMail(ReceiveSession& session, ReceiveHooks& hooks) {
  ReceiveResult result;
  // 1. The POP3 connection of the account in use.
  AccountRecord record;
  if (auto position = FindAccount(*session.account_list, *session.current_account)) {
    *session.account_position = *position + 1;
    record = AccountRecord::Parse((*session.account_list)[*position]);
  } else if (*session.account_position >= 1 && *session.account_position <= session.account_list->size()) {
    record = AccountRecord::Parse((*session.account_list)[*session.account_position - 1]);
  }
  Pop3Client& pop3 = *session.pop3;
  pop3.host = record.pop_host;
  pop3.user_name = record.user;
  pop3.password = record.password;
  pop3.port = ParsePort(record.pop_port).value_or(record.pop_ssl ? 995 : 110);
  pop3.use_tls = record.pop_ssl;

  // 2.
  hooks.SetModeLabel(Sjis("受信"), kModeGreen);
  if (!session.current_folder_path->empty()) ReloadCurrentIndex(session, hooks);

  // 3.
  if (!Connect(session, hooks)) {
    hooks.ShowMessage(Sjis("接続できませんでした。"));
    hooks.SetProgress(0, 0);
    hooks.SetModeLabel(Sjis("通常"), kModeAqua);
    return result;
  }
  result.connected = true;

  FolderNewCounts folder_new_counts;
  ParsedMessage message;
  bool appended = false;
  try {
    // 4.
    const int count = pop3.Stat();
    // 5. Mail goes to the account's inbox.
    const std::string inbox = AccountFolderPath(*session.current_account);
    if (*session.current_folder_path != inbox) {
      hooks.SelectAccountNode(*session.current_account);
      *session.current_folder_path = inbox;
      *session.current_account_dir = inbox;
      *session.received_ids = ReceivedIdList::Open(ToNativePath(session.mail_root, inbox) /
                                                   std::string(kReceivedIdListName));
      ReloadCurrentIndex(session, hooks);
    }
    // 6.
    *session.stop_requested = false;

    FilingContext filing;
    filing.mail_root = session.mail_root;
    filing.current_folder_path = *session.current_folder_path;
    filing.current_account = *session.current_account;
    filing.current_index = session.current_index;
    filing.received_ids = session.received_ids;
    filing.rules = session.rules;
    filing.delete_after_receive = record.delete_after_receive;
    filing.forwarding = session.forwarding;
    filing.forward_queue = session.forward_queue;
    filing.folder_new_counts = &folder_new_counts;
    filing.pop3 = &pop3;
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
    filing.row_added = [&](const std::string& row) { hooks.RowFiled(row); };
    filing.defer_index_write = true;

    // 7.
    if (count > 0) {
      size_t next_selected = 0;
      const bool selective = !session.selected_numbers.empty();
      for (int n = 1; n <= count; ++n) {
        hooks.SetProgress(n, count);
        hooks.Pump();
        message.Clear();
        if (*session.stop_requested) break;
        if (selective) {
          if (next_selected >= session.selected_numbers.size()) break;
          if (session.selected_numbers[next_selected] != n) continue;
          ++next_selected;
        }
        try {
          pop3.Top(n, message);
          size_t rows_before = session.current_index->Size();
          result.new_count += FileFetchedMessage(message, n, filing);
          appended = appended || session.current_index->Size() != rows_before;
        } catch (const std::exception& e) {
          // A broken connection or a refused command ends the loop; what was filed stays.
          result.error = e.what();
          pop3.Disconnect();
          break;
        }
        if (selective && next_selected >= session.selected_numbers.size()) break;
      }
      hooks.SetProgress(0, 0);
    }
    if (appended) FinishDeferredIndex(filing);
  } catch (const std::exception& e) {
    result.error = e.what();
  }

  // 9.
  if (pop3.IsConnected()) {
    try {
      pop3.Disconnect();
    } catch (const std::exception&) {
    }
  }
  message.Clear();
  // 10.
  hooks.SetStatusText(1, NewMailStatusText(result.new_count));
  // 11.
  if (result.new_count > 0) {
    session.received_ids->Save(ToNativePath(session.mail_root, *session.current_account_dir) /
                               std::string(kReceivedIdListName));
    hooks.NewMailFiled(folder_new_counts);
  }
  hooks.SetModeLabel(Sjis("通常"), kModeAqua);
  return result;
}

}  // namespace plumex
