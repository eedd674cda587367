// Certificates the user chose to trust although they could not be verified:
// MailRoot + "TrustedCerts.ini", one line per server, "host:port" TAB the SHA-256 fingerprint
// of the certificate (DER) as 64 lower-case hex digits. A connection to that host and port
// then accepts exactly that certificate.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace plumex {

class CertificateError;

std::filesystem::path TrustedCertsPath(const std::filesystem::path& mail_root);

// The fingerprint trusted for host:port (host compared without regard to case), if any.
std::optional<std::string> FindTrustedCertificate(const std::filesystem::path& mail_root,
                                                  const std::string& host, int port);

// Records the fingerprint for host:port, replacing an earlier entry. Throws FileWriteError.
void TrustCertificate(const std::filesystem::path& mail_root, const std::string& host, int port,
                      const std::string& fingerprint);

// The question put to the user after a failed verification (code page 932).
std::string CertificateQuestion(const CertificateError& error);

}  // namespace plumex
