#include "protocol/protocol_error.h"

#include <utility>

namespace plumex {

ConnectionStopped::ConnectionStopped() : ProtocolError("Operation stopped.", ErrorKind::Stopped) {}

CertificateError::CertificateError(std::string host, int port, std::string reason,
                                   std::string fingerprint)
    : ProtocolError("Server certificate could not be verified: " + reason, ErrorKind::Tls),
      host_(std::move(host)),
      port_(port),
      reason_(std::move(reason)),
      fingerprint_(std::move(fingerprint)) {}

}  // namespace plumex
