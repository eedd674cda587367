#include "protocol/http_client.h"

#include <charconv>

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {
namespace {

constexpr size_t kMaxBody = 1024 * 1024;
constexpr size_t kMaxHeaderLine = 16 * 1024;

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string BadUrlText(std::string_view url) {
  return Sjis(texts::kBadUrl) + std::string(url.substr(0, 200));
}

}  // namespace

bool IsLoopbackHost(std::string_view host) {
  return host == "127.0.0.1" || host == "localhost" || host == "::1" || host == "[::1]";
}

std::optional<HttpUrl> ParseHttpUrl(std::string_view url) {
  HttpUrl out;
  const std::string lower = AsciiLower(url.substr(0, 8));
  if (lower.starts_with("https://")) {
    url.remove_prefix(8);
  } else if (lower.starts_with("http://")) {
    out.https = false;
    out.port = 80;
    url.remove_prefix(7);
  } else {
    return std::nullopt;
  }
  const size_t slash = url.find_first_of("/?#");
  std::string_view authority = url.substr(0, slash);
  if (slash != std::string_view::npos) {
    std::string_view target = url.substr(slash);
    target = target.substr(0, target.find('#'));
    out.target = std::string(target);
    if (out.target.empty() || out.target[0] != '/') out.target = "/" + out.target;
  }
  if (authority.find('@') != std::string_view::npos || authority.empty()) return std::nullopt;
  size_t colon = authority.rfind(':');
  if (authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    out.host = std::string(authority.substr(1, close - 1));
    colon = close + 1 < authority.size() && authority[close + 1] == ':' ? close + 1 : std::string_view::npos;
  } else {
    out.host = std::string(authority.substr(0, colon));
  }
  if (colon != std::string_view::npos) {
    std::string_view port = authority.substr(colon + 1);
    int p = 0;
    auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), p);
    if (ec != std::errc() || end != port.data() + port.size() || p < 1 || p > 65535) return std::nullopt;
    out.port = p;
  }
  if (out.host.empty()) return std::nullopt;
  for (char c : out.host)
    if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '\\') return std::nullopt;
  for (char c : out.target)
    if (static_cast<unsigned char>(c) <= ' ') return std::nullopt;
  return out;
}

std::string FormEncode(std::string_view text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (Unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string FormDecode(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() + 0 && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

HttpResponse HttpPostForm(const ConnectionOptions& options, std::string_view url, const FormFields& fields) {
  const auto parsed = ParseHttpUrl(url);
  if (!parsed) throw ProtocolError(BadUrlText(url), ErrorKind::BadInput);
  // A token request carries a code or a refresh token: in clear only to this computer.
  if (!parsed->https && !IsLoopbackHost(parsed->host))
    throw ProtocolError(Sjis(texts::kUrlNotHttps) + std::string(url.substr(0, 200)),
                        ErrorKind::BadInput);
  std::string body, shown;
  for (const auto& [name, value] : fields) {
    if (!body.empty()) {
      body += '&';
      shown += '&';
    }
    body += FormEncode(name) + "=" + FormEncode(value);
    // The grant type says what the request is; every other value may be a secret.
    shown += FormEncode(name) + "=" + (name == "grant_type" ? FormEncode(value) : std::string(kMaskedSecret));
  }
  const bool default_port = parsed->port == (parsed->https ? 443 : 80);
  const std::string host_header =
      (parsed->host.find(':') != std::string::npos ? "[" + parsed->host + "]" : parsed->host) +
      (default_port ? "" : ":" + std::to_string(parsed->port));
  std::string head = "POST " + parsed->target + " HTTP/1.0\r\nHost: " + host_header +
                     "\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept: application/json\r\n"
                     "Connection: close\r\nContent-Length: " +
                     std::to_string(body.size()) + "\r\n\r\n";
  Connection connection(options);
  connection.Open(parsed->host, parsed->port, parsed->https);
  connection.Write(head + body, "POST " + parsed->target + " " + shown);
  HttpResponse response;
  const std::string status(connection.ReadLine(kMaxHeaderLine));
  // "HTTP/1.1 200 OK"
  if (!status.starts_with("HTTP/1.") || status.size() < 12 || status[8] != ' ') {
    connection.Close();
    throw ProtocolError(BadReplyText(parsed->host, parsed->port, status.substr(0, 200)), ErrorKind::Protocol, status);
  }
  std::from_chars(status.data() + 9, status.data() + 12, response.status);
  long long length = -1;
  bool chunked = false;
  for (int n = 0; n < 200; ++n) {
    const std::string line(connection.ReadLine(kMaxHeaderLine));
    if (line.empty()) break;
    const std::string lower = AsciiLower(line);
    if (lower.starts_with("content-length:")) {
      std::string_view v(lower);
      v.remove_prefix(15);
      while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
      std::from_chars(v.data(), v.data() + v.size(), length);
    } else if (lower.starts_with("transfer-encoding:") && lower.find("chunked") != std::string::npos) {
      chunked = true;
    }
  }
  if (chunked) {
    // An HTTP/1.0 request should not get chunks; a server that sends them anyway is read too.
    for (;;) {
      const std::string size_line(connection.ReadLine(kMaxHeaderLine));
      size_t size = 0;
      std::from_chars(size_line.data(), size_line.data() + size_line.size(), size, 16);
      if (size == 0) break;
      if (response.body.size() + size > kMaxBody) connection.FailTooLong(kMaxBody);
      connection.TraceReads(false);
      response.body += connection.ReadRest(static_cast<long long>(size), kMaxBody);
      connection.ReadLine(kMaxHeaderLine);
      connection.TraceReads(true);
    }
  } else {
    response.body = connection.ReadRest(length, kMaxBody);
  }
  connection.Close();
  return response;
}

}  // namespace plumex
