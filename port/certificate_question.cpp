#include "port/certificate_question.h"

#include "protocol/protocol_error.h"
#include "protocol/trusted_certs.h"

namespace plumex {

bool AskToTrustCertificate(UiPort& ui, const std::filesystem::path& mail_root, const CertificateError& error) {
  if (ui.MessageBox(CertificateQuestion(error), MsgIcon::Warning, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
  TrustCertificate(mail_root, error.host(), error.port(), error.fingerprint());
  return true;
}

void ConnectAskingTrust(UiPort& ui, const std::filesystem::path& mail_root, const std::function<void()>& connect) {
  try {
    connect();
  } catch (const CertificateError& e) {
    if (!AskToTrustCertificate(ui, mail_root, e)) throw;
    connect();  // a second failure is not asked again: the certificate changed meanwhile
  }
}

}  // namespace plumex
