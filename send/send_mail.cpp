#include "send/send_mail.h"
#include "send/threading.h"

#include <algorithm>
#include <optional>

#include "codecs/header_decode.h"
#include "codecs/header_encode.h"
#include "codecs/jconvert.h"
#include "platform/clock.h"
#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/outgoing_message.h"
#include "protocol/protocol_error.h"
#include "protocol/smtp_client.h"
#include "send/send_texts.h"
#include "settings/account_login.h"
#include "port/certificate_question.h"
#include "port/error_text.h"
#include "send/key_value_lines.h"
#include "send/message_id.h"
#include "send/sent_folder.h"
#include "send/single_line_fields.h"
#include "send/substitute_row.h"
#include "settings/account_list.h"
#include "settings/account_list.h"
#include "settings/stored_bool.h"
#include "store/file_key.h"
#include "store/generated_id.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

constexpr int kImplicitTlsPort = 465;

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return out;
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// How one outgoing message is written: ISO-2022-JP when every text of it fits JIS X 0208;
// else UTF-8 (header words in UTF-8, the body in base64), as modern Japanese mailers do, so
// that 髙, 﨑, ① or ㈱ reach every reader intact.
struct Coding {
  bool utf8 = false;
  std::string Header(std::string_view value) const { return utf8 ? EncodeHeaderUtf8(value) : EncodeHeaderB(value); }
  std::string Word(std::string_view value) const {
    return utf8 ? EncodeHeaderWordUtf8(value) : EncodeHeaderWord(value);
  }
  std::string Body(std::string_view text) const { return utf8 ? Cp932ToUtf8(text) : ConvertCode(text, CodeJis); }
};

Coding CodingFor(const std::vector<std::string>& texts) {
  Coding coding;
  for (const std::string& text : texts) coding.utf8 = coding.utf8 || !FitsJisX0208(text);
  return coding;
}

// The texts of the request that go out in every message (besides subject, To and body).
std::vector<std::string> CommonTexts(const SendRequest& request) {
  return {ValueOf(request.headers, "ReplyTo"), ValueOf(request.settings, Sjis(texts::kKeyFrom)),
          ValueOf(request.headers, Sjis(texts::kKeyFrom))};
}

// Existing files become attachment parts, their names encoded; missing ones are skipped.
void AddAttachments(OutgoingMessage& message, const std::vector<std::string>& paths, const Coding& coding) {
  for (const auto& path : paths) {
    const std::filesystem::path file = PathFromText(path);
    if (!FileExists(file)) continue;
    message.attachments.push_back({file, coding.Word(FileNameOf(path))});
  }
}

void SetCommonFields(OutgoingMessage& message, const SendRequest& request, const Threading& threading,
                     const Coding& coding) {
  message.utf8_text = coding.utf8;
  message.reply_to = coding.Header(ValueOf(request.headers, "ReplyTo"));
  if (request.forward_mode) {
    message.from = coding.Header(ValueOf(request.settings, Sjis(texts::kKeyFrom)));
  } else {
    message.from = coding.Header(ValueOf(request.headers, Sjis(texts::kKeyFrom)));
    message.cc = coding.Header(ValueOf(request.headers, "CCList"));
    message.bcc = coding.Header(ValueOf(request.headers, "BccList"));
    message.priority = ValueOf(request.headers, "Priority") == "1" ? OutgoingMessage::Priority::High
                                                                  : OutgoingMessage::Priority::Normal;
    if (!ValueOf(request.headers, "ReceiptRecipient").empty())
      message.receipt_to = coding.Header(ValueOf(request.headers, "ReplyTo"));
  }
  message.in_reply_to = threading.in_reply_to;
  message.references = threading.references;
}

void UseAccountLogin(SmtpClient& smtp, const std::string& account_name, const SendContext& context) {
  if (account_name.empty()) return;
  const std::vector<std::string> accounts = LoadAccountList(context.mail_root);
  if (auto position = FindAccount(accounts, account_name))
    smtp.login = AccountLogin(AccountRecord::Parse(accounts[*position]), context.mail_root, context.connection);
}

// Opens the connection; a certificate that fails verification is put to the user once.
void Connect(SmtpClient& smtp, SendContext& context, UiPort& ui, const std::string& host, int port, bool tls) {
  const bool implicit_tls = tls && port == kImplicitTlsPort;
  ConnectAskingTrust(ui, context.mail_root, [&] {
    if (smtp.IsConnected()) smtp.Disconnect();
    smtp.Connect(host, port, tls && !implicit_tls, implicit_tls);
    if (port != 25) smtp.Authenticate();
  });
}

void FileSentCopy(const SendRequest& request, SendContext& context, const std::string& id, SendResult& result) {
  const std::string subject = ValueOf(request.headers, Sjis(texts::kKeySubject));
  // A forward went to the forward address, whatever the forwarded mail was addressed to.
  const std::string to = request.forward_mode ? request.forward_address : ValueOf(request.headers, Sjis(texts::kKeyTo));
  // The copy first: a row always names a file that is there.
  StoredMessage copy;
  copy.header_lines = request.headers;
  if (request.forward_mode) {
    const std::string key = Sjis(texts::kLineTo);
    auto line = std::find_if(copy.header_lines.begin(), copy.header_lines.end(),
                             [&key](const std::string& l) { return l.compare(0, key.size(), key) == 0; });
    if (line != copy.header_lines.end()) *line = key + to;
    else copy.header_lines.insert(copy.header_lines.begin(), key + to);
  }
  copy.body_lines = request.body;
  const auto copy_file = ToNativePath(context.mail_root, SendFolderPath()) / NativeName(MakeFileKey(id) + ".txt");
  WriteStoredMessage(copy_file, copy);
  // The size the list shows: the stored text and the files attached to it.
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(copy_file, ec);
  if (ec) size = 0;
  for (const auto& attachment : request.attachments) {
    const std::uintmax_t bytes = std::filesystem::file_size(PathFromText(attachment), ec);
    if (!ec) size += bytes;
  }
  IndexRow row{id, RowField(subject), RowField(to), ValueOf(request.headers, Sjis(texts::kKeyDate)),
               std::to_string(size), request.attachments.empty() ? "2" : "1", "2", "2", std::nullopt};
  result.sent_folder = ChooseSentFolder(context.mail_root, context.send_rules, subject, to);
  const auto index_file = ToNativePath(context.mail_root, result.sent_folder) / std::string(kSendIndexName);
  std::vector<std::string> rows;
  ReadLines(index_file, rows);
  rows.push_back(row.ToLine());
  WriteLines(index_file, rows);
  result.message_id = id;
}

}  // namespace

Threading ThreadingOfRequest(const SendRequest& request) {
  if (request.reply_context_id.empty()) return {};
  size_t start = 0;
  const std::string references = FindHeaderValue("references", request.viewer_header_lines, true, start);
  start = 0;
  const std::string in_reply_to = FindHeaderValue("in-reply-to", request.viewer_header_lines, true, start);
  return ThreadingOf(request.reply_context_id, references, in_reply_to, !request.reply_context_is_forward);
}

void SetThreading(SendRequest& request, const Threading& threading) {
  request.reply_context_id = LastMessageId(threading.references);
  if (request.reply_context_id.empty()) request.reply_context_id = threading.in_reply_to;
  request.viewer_header_lines.clear();
  request.reply_context_is_forward = threading.in_reply_to.empty();
  if (!request.reply_context_id.empty())
    request.viewer_header_lines = {"References:" + WithoutLastMessageId(threading.references)};
}

std::string SentButNotFiledText(const AppError& copy_error) {
  return Sjis(texts::kSentButNotFiled1) + "\r\n" +
         Sjis(texts::kSentButNotFiled2) + "\r\n" + copy_error.text();
}

SendResult SendMail(const SendRequest& request, SendContext& context, UiPort& ui) {
  SendResult result;
  OutgoingMessage message;
  SmtpClient smtp(context.connection);
  smtp.user_name = ValueOf(request.settings, "Username");
  smtp.password = ValueOf(request.settings, "Password");
  // The account's own log-in (its keyring entry, or OAuth2) when the account is still there.
  UseAccountLogin(smtp, ValueOf(request.settings, "Account"), context);
  const std::string host = ValueOf(request.settings, "Host");
  auto port = ParsePort(ValueOf(request.settings, "Port"));
  if (!port) throw AppError(ErrorKind::BadInput, Sjis(texts::kBadSmtpPort));
  // The account's own server always: with SSL on, STARTTLS is required (TLS from the first
  // byte on port 465), and the password never goes out in clear.
  const bool tls = ParseStoredBool(ValueOf(request.settings, "SmtpSSL"));

  // Nothing goes out when a field would break a command or a header line.
  RequireSingleLineValues(request.settings);
  RequireSingleLineValues(request.headers);
  if (request.forward_mode) RequireSingleLine("To", request.forward_address);

  const bool merge = !ValueOf(request.headers, Sjis(texts::kKeyMergeFile)).empty();
  std::vector<std::string> texts = CommonTexts(request);
  for (std::string_view key : {texts::kKeySubject, texts::kKeyTo}) texts.push_back(ValueOf(request.headers, Sjis(key)));
  for (const char* key : {"CCList", "BccList"}) texts.push_back(ValueOf(request.headers, key));
  texts.push_back(JoinCrLf(request.body));
  for (const auto& path : request.attachments) texts.push_back(FileNameOf(path));
  const Coding coding = CodingFor(texts);
  if (!merge) AddAttachments(message, request.attachments, coding);
  const Threading threading = ThreadingOfRequest(request);
  SetCommonFields(message, request, threading, coding);

  Connect(smtp, context, ui, host, *port, tls);
  try {
    const LocalDateTime now = ToLocal(NowSeconds());
    std::string filed_id = ValueOf(request.headers, "Message-ID");
    if (!merge) {
      message.SetHeader("Message-ID", EncodeHeaderWord(filed_id));
      message.text = coding.Body(JoinCrLf(request.body));
      message.subject = coding.Header(ValueOf(request.headers, Sjis(texts::kKeySubject)));
      message.to = request.forward_mode ? request.forward_address
                                        : coding.Header(ValueOf(request.headers, Sjis(texts::kKeyTo)));
      message.AddRawHeaderLine(kMailerHeaderLine);
      message.date = NowSeconds();
      smtp.Send(message);
    } else {
      const auto log_file = ToNativePath(context.mail_root, SendFolderPath()) / NativeName(Sjis(texts::kMergeLogName));
      WriteLines(log_file, {});  // emptied by every merge
      // One line per row, appended as the row is done.
      auto log = [&](const std::string& line) { AppendToFile(log_file, line + "\r\n", false); };
      const std::string domain = SenderDomain(ValueOf(request.headers, Sjis(texts::kKeyFrom)));
      const std::string body_template = JoinCrLf(request.body);
      for (size_t r = 1; r < request.merge_sheet.size(); ++r) {
        const std::string& row = request.merge_sheet[r];
        message.Reset();
        const std::string cc = SubstituteRow(ValueOf(request.headers, "CCList"), row);
        const std::string bcc = SubstituteRow(ValueOf(request.headers, "BccList"), row);
        const std::string subject = SubstituteRow(ValueOf(request.headers, Sjis(texts::kKeySubject)), row);
        const std::string body = SubstituteRow(body_template, row);
        const std::string address = SubstituteRow("%SS1%", row);
        std::vector<std::string> paths;
        for (const auto& entry : request.attachments) {
          if (entry.rfind("%SS", 0) != 0 && entry.rfind("%ss", 0) != 0) {
            paths.push_back(entry);
            continue;
          }
          std::string list = SubstituteRow(entry, row);
          size_t start = 0;
          while (start < list.size()) {
            size_t semicolon = list.find(';', start);
            if (semicolon == std::string::npos) semicolon = list.size();
            if (semicolon > start) paths.push_back(list.substr(start, semicolon - start));
            start = semicolon + 1;
          }
        }
        std::vector<std::string> row_texts = CommonTexts(request);
        for (const std::string* text : {&cc, &bcc, &subject, &body, &address}) row_texts.push_back(*text);
        for (const auto& path : paths) row_texts.push_back(FileNameOf(path));
        const Coding row_coding = CodingFor(row_texts);
        SetCommonFields(message, request, threading, row_coding);
        message.cc = row_coding.Header(cc);
        message.bcc = row_coding.Header(bcc);
        AddAttachments(message, paths, row_coding);
        filed_id = MergeRowMessageId(now, static_cast<int>(r), domain);
        message.SetHeader("Message-ID", EncodeHeaderWord(filed_id));
        message.text = row_coding.Body(body);
        message.subject = row_coding.Header(subject);
        message.to = row_coding.Header(address);
        message.AddRawHeaderLine(kMailerHeaderLine);
        message.date = NowSeconds();
        try {
          // A row whose cells would break a line is logged as failed; the others go.
          RequireSingleLine(Sjis(texts::kKeyTo), address);
          for (const char* field : {"CCList", "BccList"})
            RequireSingleLine(field, SubstituteRow(ValueOf(request.headers, field), row));
          RequireSingleLine(Sjis(texts::kKeySubject),
                            SubstituteRow(ValueOf(request.headers, Sjis(texts::kKeySubject)), row));
          smtp.Send(message);
          log(address + "\t" + FormatSentDate(ToLocal(NowSeconds())) + "\tOK");
          ++result.merge_ok;
        } catch (const ConnectionStopped&) {
          throw;
        } catch (const std::exception&) {
          log(address + "\tNO!!");
          ++result.merge_failed;
          // A row whose failure closed the connection: the next rows go over a new one, or
          // are logged as failed too when the server cannot be reached again.
          if (!smtp.IsConnected()) {
            try {
              Connect(smtp, context, ui, host, *port, tls);
            } catch (const std::exception&) {
            }
          }
        }
      }
    }
    result.message_id = filed_id;
    try {
      FileSentCopy(request, context, filed_id, result);
    } catch (const std::exception& e) {
      result.copy_error = AsAppError(e);
    }
  } catch (...) {
    if (smtp.IsConnected()) smtp.Disconnect();
    throw;
  }
  try {
    if (smtp.IsConnected()) smtp.Disconnect();
  } catch (const std::exception&) {
  }
  return result;
}

}  // namespace plumex
