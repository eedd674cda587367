#include "protocol/protocol_texts.h"

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/system_error_text.h"

namespace plumex {
namespace {

std::string ServerLine(const std::string& host, int port) {
  return Sjis(texts::kServerLine) + host + ":" + std::to_string(port);
}

const char* ReasonOf(LineFault fault) {
  switch (fault) {
    case LineFault::HostNotFound: return "ホストが見つかりません";
    case LineFault::Refused: return "接続が拒否されました";
    case LineFault::ConnectTimedOut: return "接続がタイムアウトしました";
    case LineFault::NetworkUnreachable: return "ネットワークに到達できません";
    case LineFault::HostUnreachable: return "ホストに到達できません";
    case LineFault::BadPort: return "ポート番号が正しくありません";
    case LineFault::ClosedByServer: return "サーバが接続を切断しました";
    case LineFault::ReplyTimedOut: return "応答がタイムアウトしました";
    case LineFault::NotConnected: return "サーバに接続していません";
    case LineFault::TlsFailed: return "TLSの接続に失敗しました";
    case LineFault::Other: break;
  }
  return "通信エラーが発生しました";
}

}  // namespace

std::string StatusConnecting(const std::string& host, int port) {
  return host + ":" + std::to_string(port) + Sjis(" に接続しています");
}
std::string StatusConnected() { return Sjis("接続しました"); }
std::string StatusDisconnected() { return Sjis("切断しました"); }

std::string ConnectionErrorText(bool connecting, const std::string& host, int port, LineFault fault,
                                const std::string& detail) {
  std::string text = Sjis(connecting ? "接続できませんでした。" : "サーバとの通信に失敗しました。") + "\r\n" +
                     ServerLine(host, port) + "\r\n" + Sjis(ReasonOf(fault));
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

std::string CommandRefusedText(const std::string& host, int port, const std::string& reply) {
  return Sjis("サーバがコマンドを拒否しました: ") + reply + "\r\n" + ServerLine(host, port);
}

std::string RecipientsRefusedText(const std::string& host, int port,
                                  const std::vector<std::pair<std::string, std::string>>& refused) {
  std::string text = Sjis("次のあて先をサーバが受け付けなかったため、メールはどのあて先にも送信していません。");
  for (const auto& [address, reply] : refused) text += "\r\n" + address + ": " + reply;
  return text + "\r\n" + ServerLine(host, port);
}

std::string LoginRefusedText(const std::string& host, int port, const std::string& reply) {
  std::string text = Sjis("サーバがログインを拒否しました: ") + reply + "\r\n" + ServerLine(host, port);
  if (const std::string hint = LoginRefusalHint(reply); !hint.empty()) text += "\r\n\r\n" + hint;
  return text;
}

std::string LoginRefusalHint(const std::string& reply) {
  auto has = [&](const char* word) { return reply.find(word) != std::string::npos; };
  if (has("5.7.30") || has("Basic authentication is not supported") || has("BasicAuthBlocked"))
    return Sjis("このサーバはパスワードでのログインを受け付けていません。") + "\r\n" +
           Sjis("アカウントのログイン方式を「OAuth2 (Microsoft)」にして「サインイン」してください。");
  if (has("Application-specific password required") || has("InvalidSecondFactor"))
    return Sjis("Googleアカウントでは通常のパスワードでログインできません。") + "\r\n" +
           Sjis("Googleアカウントの設定で「アプリ パスワード」を作ってパスワード欄に入れるか、") + "\r\n" +
           Sjis("ログイン方式を「OAuth2 (Google)」にして「サインイン」してください。");
  if (has("yahoo.co.jp") || has("Yahoo! JAPAN"))
    return Sjis("Yahoo!メールの設定で「Yahoo! JAPAN公式サービス以外からのアクセスも有効にする」をオンにしてください。");
  return {};
}

std::string NoStlsText(const std::string& host, int port) {
  return Sjis("このサーバではSSL(STLS)を使えないため、パスワードを送らずに接続を切りました。") + "\r\n" +
         ServerLine(host, port);
}

std::string BadReplyText(const std::string& host, int port, const std::string& reply) {
  return Sjis("サーバの応答が正しくありません: ") + reply + "\r\n" + ServerLine(host, port);
}

std::string ReplyTooLongText(const std::string& host, int port, size_t limit) {
  return Sjis("サーバの応答が長すぎるため、接続を切りました (上限 ") + std::to_string(limit) + Sjis(" バイト)。") + "\r\n" +
         ServerLine(host, port);
}

std::string LineBreakInCommandText() {
  return Sjis("アドレスやヘッダに改行文字(CR・LF)またはNUL文字が含まれているため、送信できません。");
}

std::string NoStartTlsText(const std::string& host, int port) {
  return Sjis("このサーバではSSL(STARTTLS)を使えません。") + "\r\n" + ServerLine(host, port);
}

std::string CertificateNotVerifiedText(const std::string& host, int port, const std::string& reason) {
  return Sjis(texts::kCertificateNotVerified) + "\r\n" + ServerLine(host, port) + "\r\n" + reason;
}

std::string CertificateMissingText() { return Sjis("サーバが証明書を送りませんでした。"); }

std::string StoppedText() { return Sjis("中止しました。"); }
std::string BusyText() { return Sjis("前のコマンドがまだ終わっていません。"); }

std::string CannotReadFileText(const std::filesystem::path& path) {
  return Sjis("ファイルを読み込めませんでした。") + "\r\n" + DisplayPath(path);
}

std::string CannotReadFileText(const std::filesystem::path& path, const std::error_code& reason) {
  return CannotReadFileText(path) + "\r\n" + SystemErrorText(reason);
}

std::string FileTooLargeText(const std::filesystem::path& path, long long limit_bytes) {
  return Sjis("ファイルが大きすぎるため読み込みませんでした（上限 ") + std::to_string(limit_bytes / (1024 * 1024)) +
         " MB" + Sjis("）。") + "\r\n" + DisplayPath(path);
}

std::string CannotWriteFileText(const std::filesystem::path& path) {
  return Sjis("ファイルに書き込めませんでした。") + "\r\n" + DisplayPath(path);
}

std::string CannotReadAttachmentText(const std::filesystem::path& path) {
  return Sjis("添付ファイルを読み込めませんでした。") + "\r\n" + DisplayPath(path);
}

}  // namespace plumex
