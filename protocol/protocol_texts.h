// Texts of the protocol layer, code page 932: the status of a connection and the errors the
// commands show. Every error that concerns a server names it ("サーバ: host:port"), and a
// refused command keeps the server's reply in the text, since that is what the user must read.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <string_view>
#include <vector>

namespace plumex::texts {

// Fixed texts of the protocol layer, in UTF-8; pass them through Sjis() for the core.
inline constexpr std::string_view kServerLine = "サーバ: ";
inline constexpr std::string_view kSecondsSuffix = "秒";
inline constexpr std::string_view kBadUrl = "URLが正しくありません: ";
inline constexpr std::string_view kUrlNotHttps = "httpsで始まるURLを指定してください: ";
inline constexpr std::string_view kNoMechanisms = "なし";
inline constexpr std::string_view kNoOAuth2Login = "このサーバはOAuth2でのログインに対応していません。";
inline constexpr std::string_view kNoPasswordLogin = "このサーバはパスワードでのログインに対応していません。";
inline constexpr std::string_view kOfferedMechanisms = "サーバが対応しているログイン方式: ";
inline constexpr std::string_view kCertificateNotVerified = "サーバ証明書を確認できませんでした。";
inline constexpr std::string_view kTrustCertificate = "この証明書を信頼して接続しますか？";

// Signing in (OAuth2).
inline constexpr std::string_view kSignInExpired1 = "サインインの有効期限が切れたか、取り消されました。";
inline constexpr std::string_view kSignInExpired2 = "アカウントの設定で「サインイン」をもう一度行ってください。";
inline constexpr std::string_view kAdminApproval1 = "このアプリを使うには、組織の管理者による承認が必要です。";
inline constexpr std::string_view kAdminApproval2 =
    "管理者にアプリ(クライアントID)の利用を許可してもらうか、組織で登録したクライアントIDを";
inline constexpr std::string_view kAdminApproval3 = "アカウントの設定に入力してください。";
inline constexpr std::string_view kNoToken = "トークンを取得できませんでした (HTTP ";
inline constexpr std::string_view kNoAuthorizationCode = "認可コードを受け取れませんでした。";
inline constexpr std::string_view kNoRedirectListener = "サインインの受け口(127.0.0.1)を開けませんでした: ";
inline constexpr std::string_view kSignInTimedOut = "サインインが時間内に完了しませんでした。";
inline constexpr std::string_view kNoRandom = "乱数を作れませんでした。";
inline constexpr std::string_view kSignInDenied = "サインインが拒否されたか、取り消されました。";
inline constexpr std::string_view kSignInFailed = "サインインできませんでした: ";
inline constexpr std::string_view kSignInSettingsMissing = "サインインの設定(認可URL・トークンURL・クライアントID)が足りません。";
// The page the browser shows after the redirect (UTF-8 as it is sent).
inline constexpr std::string_view kSignInPageDone = "サインインが完了しました。このページを閉じて、Plumexに戻ってください。";
inline constexpr std::string_view kSignInPageFailed = "サインインできませんでした。Plumexの表示を確認してください。";
inline constexpr std::string_view kSignInPageNoCode = "認可コードがありません。";

}  // namespace plumex::texts

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
