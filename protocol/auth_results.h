// Authentication-Results header fields (RFC 8601) as the user's own provider wrote them. Only
// the fields whose authserv-id is the trusted one count: fields of other ids, and fields with
// the trusted id below the provider's own (written before the mail reached it, so anybody could
// have written them), are ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

enum class AuthVerdict { None, Pass, Fail };

struct AuthResults {
  AuthVerdict dmarc = AuthVerdict::None;
  AuthVerdict dkim = AuthVerdict::None;
  AuthVerdict spf = AuthVerdict::None;
  bool found = false;  // a field of the trusted authserv-id was read
};

const char* VerdictName(AuthVerdict verdict);  // "pass", "fail", "none"

// The authserv-id trusted for an account: its POP3 host without the first label
// ("pop.mail.example.jp" -> "mail.example.jp"), the host itself when that would leave a single
// label, and nothing for an address literal.
std::string TrustedAuthservId(std::string_view pop3_host);
// True when id is the trusted one or a name under it, letter case ignored.
bool IsTrustedAuthservId(std::string_view id, std::string_view trusted);

// One field value, parsed: its authserv-id and its method results (comments removed).
struct AuthResultsField {
  std::string authserv_id;
  struct Result {
    std::string method;  // lower case, without its version
    std::string result;  // lower case
  };
  std::vector<Result> results;
};
AuthResultsField ParseAuthResultsField(std::string_view value);

// header_lines: the message's header lines as received (folded lines continue the one
// before). Reads the topmost field of the trusted id only: the provider writes its field on
// top of what arrived, so a field of that id further down came with the mail. pass and fail
// count (several results of one method: a pass wins); every other result is none.
AuthResults ReadAuthenticationResults(const std::vector<std::string>& header_lines, std::string_view trusted_id);

}  // namespace plumex
