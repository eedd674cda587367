#include "protocol/library_versions.h"

#include <gmime/gmime.h>
#include <openssl/crypto.h>

namespace plumex {

std::string GMimeVersion() {
  return std::to_string(gmime_major_version) + "." + std::to_string(gmime_minor_version) + "." +
         std::to_string(gmime_micro_version);
}

std::string OpenSslVersion() { return OpenSSL_version(OPENSSL_VERSION); }

}  // namespace plumex
