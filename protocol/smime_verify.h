// S/MIME signatures of received mail (multipart/signed with application/pkcs7-signature or
// application/x-pkcs7-signature, and signed-data in application/pkcs7-mime), verified with
// OpenSSL CMS against the system's CA store (OpenSSL's default verify paths, so SSL_CERT_FILE
// and SSL_CERT_DIR work as usual).
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Worst first where several apply: a broken signature (invalid) beats a signer other than
// From (mismatch) beats a chain that does not reach a trusted CA (untrusted).
enum class SmimeStatus { None, Trusted, Untrusted, Invalid, Mismatch };

const char* SmimeStatusName(SmimeStatus status);  // "none", "trusted", ...

struct SmimeResult {
  SmimeStatus status = SmimeStatus::None;
  std::string signer;  // the signer's first e-mail address (empty when none)
};

// raw_message: the whole message as received; from_address: the address of its From.
SmimeResult VerifySmime(std::string_view raw_message, std::string_view from_address);

}  // namespace plumex
