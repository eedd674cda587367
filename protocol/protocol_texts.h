// Texts of the protocol layer, code page 932: the status of a connection and the errors the
// commands show. Every error that concerns a server names it ("サーバ: host:port"), and a
// refused command keeps the server's reply in the text, since that is what the user must read.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace plumex {

std::string StatusConnecting(const std::string& host, int port);
std::string StatusConnected();
std::string StatusDisconnected();

// Why a connection could not be made, or broke.
enum class LineFault {
  HostNotFound,
  Refused,
  ConnectTimedOut,
  NetworkUnreachable,
  HostUnreachable,
  BadPort,
  ClosedByServer,
  ReplyTimedOut,
  NotConnected,
  TlsFailed,
  Other,
};

// "接続できませんでした。" (while connecting) or "サーバとの通信に失敗しました。" (once connected),
// CR LF "サーバ: host:port", CR LF the reason, with detail (OpenSSL's or an errno) in brackets.
std::string ConnectionErrorText(bool connecting, const std::string& host, int port, LineFault fault,
                                const std::string& detail = {});

// "サーバがコマンドを拒否しました: " + reply, CR LF "サーバ: host:port".
std::string CommandRefusedText(const std::string& host, int port, const std::string& reply);
// Recipients the server refused (address, reply): nothing was sent to anyone.
// "次のあて先をサーバが受け付けなかったため、メールはどのあて先にも送信していません。", then a line
// per address "address: reply", CR LF "サーバ: host:port".
std::string RecipientsRefusedText(const std::string& host, int port,
                                  const std::vector<std::pair<std::string, std::string>>& refused);
// "サーバがログインを拒否しました: " + reply, CR LF "サーバ: host:port"; a refusal whose cause is
// known (a provider that turned password log-in off, an app password needed) adds the fix.
std::string LoginRefusedText(const std::string& host, int port, const std::string& reply);
// "サーバの応答が正しくありません: " + what came, CR LF "サーバ: host:port".
std::string BadReplyText(const std::string& host, int port, const std::string& reply);
// "サーバの応答が長すぎるため、接続を切りました (上限 n バイト)。", CR LF "サーバ: host:port".
std::string ReplyTooLongText(const std::string& host, int port, size_t limit);
// An address or header value holds a line break (CR, LF) or NUL: nothing is sent.
std::string LineBreakInCommandText();
// The account wants TLS, the POP3 server offers no STLS: nothing secret was sent.
std::string NoStlsText(const std::string& host, int port);
// The fix for a known log-in refusal (CR LF-separated lines), or "" when the reply is not known.
std::string LoginRefusalHint(const std::string& reply);
// The account wants TLS, the server offers no STARTTLS.
std::string NoStartTlsText(const std::string& host, int port);
// "サーバ証明書を確認できませんでした。", CR LF "サーバ: host:port", CR LF OpenSSL's reason.
std::string CertificateNotVerifiedText(const std::string& host, int port, const std::string& reason);
// The reason when the server sent no certificate at all.
std::string CertificateMissingText();

std::string StoppedText();
// A command was asked for while another one still waits for its reply.
std::string BusyText();

// Local files: the native path is shown in code page 932.
std::string CannotReadFileText(const std::filesystem::path& path);
// The same with the system's reason on a line of its own.
std::string CannotReadFileText(const std::filesystem::path& path, const std::error_code& reason);
std::string CannotWriteFileText(const std::filesystem::path& path);
std::string CannotReadAttachmentText(const std::filesystem::path& path);
// A file over the size a message may have.
std::string FileTooLargeText(const std::filesystem::path& path, long long limit_bytes);

}  // namespace plumex
