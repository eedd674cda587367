#include "protocol/protocol_error.h"

#include <utility>

#include "protocol/protocol_texts.h"

namespace plumex {

ConnectionStopped::ConnectionStopped() : ProtocolError(StoppedText(), ErrorKind::Stopped) {}

CertificateError::CertificateError(std::string host, int port, std::string reason,
                                   std::string fingerprint)
    : ProtocolError(CertificateNotVerifiedText(host, port, reason), ErrorKind::Tls),
      host_(std::move(host)),
      port_(port),
      reason_(std::move(reason)),
      fingerprint_(std::move(fingerprint)) {}

}  // namespace plumex
