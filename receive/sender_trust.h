// Who really sent a message: the sender-domain authentication the user's own provider recorded
// (Authentication-Results of the trusted authserv-id: DMARC, DKIM, SPF), the S/MIME signature,
// and a display name that shows another address than the real one. Worked out when a message
// is filed (the only time its original header and MIME structure are at hand) and kept in the
// message file as the pseudo-header "送信者確認:" + TrustValues; the viewer and plumex-cli show
// the line TrustLine makes of it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/auth_results.h"
#include "protocol/smime_verify.h"

namespace plumex {

class ParsedMessage;

// The account's own choice of authserv-id, one line in its receive folder ("受信\" + name + "\").
inline constexpr const char* kAuthservIdFileName = "AuthServ.ini";

struct SenderTrust {
  AuthVerdict dmarc = AuthVerdict::None;
  AuthVerdict dkim = AuthVerdict::None;
  AuthVerdict spf = AuthVerdict::None;
  SmimeStatus smime = SmimeStatus::None;
  std::string from;          // the From address (ASCII as received)
  std::string name_address;  // an address shown in the display name that is not `from`
  bool operator==(const SenderTrust&) const = default;
};

enum class TrustLevel { Neutral, Good, Warning };
TrustLevel LevelOf(const SenderTrust& trust);

// The authserv-id trusted for an account: the first line of its AuthServ.ini when there is
// one, else TrustedAuthservId of its POP3 host.
std::string AccountAuthservId(const std::filesystem::path& account_dir, std::string_view pop3_host);

SenderTrust EvaluateSenderTrust(const ParsedMessage& message, std::string_view trusted_authserv_id);
// The same from the message as received (for a kept original).
SenderTrust EvaluateSenderTrust(std::string_view raw_message, std::string_view trusted_authserv_id);

// An address shown in a display name (decoded, code page 932) that is not `address`; empty
// when the name shows none or the same one.
std::string AddressInDisplayName(std::string_view display_name, std::string_view address);

// "dmarc=pass; dkim=pass; spf=none; smime=none; from=a@example.jp" and, when the display name
// shows another address, "; name=" + that address (ASCII). The pseudo-header's value.
std::string TrustValues(const SenderTrust& trust);
// Back from a stored value (tolerates the sentence after it); nothing when it is no such value.
std::optional<SenderTrust> ParseTrustValues(std::string_view value);
// The sentence for people (code page 932).
std::string TrustSentence(const SenderTrust& trust);
// "送信者確認: dmarc=V; dkim=V; spf=V; smime=S; from=ADDR " + the sentence, one line (CP932).
std::string TrustLine(const SenderTrust& trust);
// The pseudo-header line a message file keeps (CP932).
std::string TrustHeaderLine(const SenderTrust& trust);
// A message file's header line as the header pane shows it: the kept trust as TrustLine,
// every other line as it is.
std::string TrustLineShown(const std::string& stored_line);
// The trust kept in a message file's header lines; nothing when they hold none.
std::optional<SenderTrust> StoredTrust(const std::vector<std::string>& header_lines);

}  // namespace plumex
