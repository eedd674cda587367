// The little HTTP an OAuth2 sign-in needs: a form POSTed to a token endpoint over HTTPS (or
// HTTP on the loopback address, for tests and local identity providers), on the project's own
// connection layer, so the command-line tool and the window share it. HTTP/1.0 with
// "Connection: close": the body ends with its Content-Length or with the connection.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/connection.h"

namespace plumex {

struct HttpUrl {
  bool https = true;
  std::string host;
  int port = 443;
  std::string target = "/";  // path and query
};

// "https://host[:port]/path?query" or "http://..."; nothing for anything else.
std::optional<HttpUrl> ParseHttpUrl(std::string_view url);

// application/x-www-form-urlencoded (RFC 3986 unreserved characters kept, the rest %XX).
std::string FormEncode(std::string_view text);
std::string FormDecode(std::string_view text);  // '+' is a space, %XX a byte

using FormFields = std::vector<std::pair<std::string, std::string>>;

struct HttpResponse {
  int status = 0;
  std::string body;
};

// POSTs the fields and reads the answer (at most 1 MB). The trace shows the request line and
// the names of the fields, never their values. Plain HTTP is refused except to a loopback
// host. Throws ProtocolError (the connection's errors; kind BadInput for a URL that cannot be
// used, Protocol for an answer that is no HTTP).
HttpResponse HttpPostForm(const ConnectionOptions& options, std::string_view url, const FormFields& fields);

bool IsLoopbackHost(std::string_view host);

}  // namespace plumex
