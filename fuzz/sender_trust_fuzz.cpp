// sender_trust: arbitrary bytes as a received message (Authentication-Results fields, From
// with its display name, an S/MIME structure) and as a kept trust value; no crash, no read
// past the end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "receive/sender_trust.h"
#include "receive/zip_encryption.h"
#include "shell/link_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const SenderTrust trust = EvaluateSenderTrust(text, "example.jp");
  TrustLine(trust);
  ParseTrustValues(text);
  AddressInDisplayName(text, "a@example.jp");
  IsEncryptedZipBytes(text, text, 0);
  IsDeceptiveLink(text, text);
  return 0;
}
