#include "protocol/trusted_certs.h"

#include <vector>

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {
namespace {

std::string Key(const std::string& host, int port) { return AsciiLower(host) + ":" + std::to_string(port); }

}  // namespace

std::filesystem::path TrustedCertsPath(const std::filesystem::path& mail_root) {
  return mail_root / "TrustedCerts.ini";
}

std::optional<std::string> FindTrustedCertificate(const std::filesystem::path& mail_root,
                                                  const std::string& host, int port) {
  if (mail_root.empty()) return std::nullopt;
  std::vector<std::string> lines;
  if (!ReadLines(TrustedCertsPath(mail_root), lines)) return std::nullopt;
  const std::string key = Key(host, port);
  for (const std::string& line : lines) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    if (AsciiLower(line.substr(0, tab)) == key) return AsciiLower(line.substr(tab + 1));
  }
  return std::nullopt;
}

void TrustCertificate(const std::filesystem::path& mail_root, const std::string& host, int port,
                      const std::string& fingerprint) {
  std::vector<std::string> lines;
  ReadLines(TrustedCertsPath(mail_root), lines);
  const std::string key = Key(host, port);
  std::erase_if(lines, [&](const std::string& line) {
    const size_t tab = line.find('\t');
    return tab != std::string::npos && AsciiLower(line.substr(0, tab)) == key;
  });
  lines.push_back(key + "\t" + AsciiLower(fingerprint));
  WriteLines(TrustedCertsPath(mail_root), lines);
}

std::string CertificateQuestion(const CertificateError& error) {
  return Sjis(texts::kCertificateNotVerified) + "\r\n" + error.reason() + "\r\n" +
         "SHA-256: " + error.fingerprint() + "\r\n\r\n" + Sjis(texts::kTrustCertificate);
}

}  // namespace plumex
