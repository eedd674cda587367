#include "protocol/smime_verify.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <memory>
#include <vector>

#include "text/ascii_case.h"
#include "protocol/openssl_ptr.h"

namespace plumex {
namespace {

using BioPtr = std::unique_ptr<BIO, OpenSslFree<BIO_free_all>>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, OpenSslFree<CMS_ContentInfo_free>>;
using StorePtr = std::unique_ptr<X509_STORE, OpenSslFree<X509_STORE_free>>;

// The top-level Content-Type of the message, unfolded and lower case.
std::string TopContentType(std::string_view raw) {
  std::string value;
  bool in_field = false;
  size_t pos = 0;
  while (pos < raw.size()) {
    size_t end = raw.find('\n', pos);
    if (end == std::string_view::npos) end = raw.size();
    std::string_view line = raw.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    if (line.empty()) break;
    if (line.front() == ' ' || line.front() == '\t') {
      if (in_field) value += line;
      continue;
    }
    if (in_field) break;
    if (StartsWithIgnoringCase(line, 0, "content-type:")) {
      in_field = true;
      value = std::string(line.substr(13));
    }
  }
  return AsciiLower(value);
}

bool IsSigned(std::string_view raw) {
  const std::string type = TopContentType(raw);
  if (type.find("multipart/signed") != std::string::npos)
    return type.find("pkcs7-signature") != std::string::npos;
  return type.find("pkcs7-mime") != std::string::npos && type.find("signed-data") != std::string::npos;
}

// Line ends as MIME's canonical form has them (CR LF), whatever the store made of them.
std::string Canonical(std::string_view raw) {
  std::string out;
  out.reserve(raw.size() + raw.size() / 40);
  for (size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

BioPtr MemoryBio(const std::string& bytes) {
  return BioPtr(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

std::vector<std::string> EmailsOf(X509* cert) {
  std::vector<std::string> out;
  STACK_OF(OPENSSL_STRING)* emails = X509_get1_email(cert);
  for (int i = 0; emails && i < sk_OPENSSL_STRING_num(emails); ++i) out.emplace_back(sk_OPENSSL_STRING_value(emails, i));
  X509_email_free(emails);
  return out;
}

}  // namespace

const char* SmimeStatusName(SmimeStatus status) {
  switch (status) {
    case SmimeStatus::Trusted: return "trusted";
    case SmimeStatus::Untrusted: return "untrusted";
    case SmimeStatus::Invalid: return "invalid";
    case SmimeStatus::Mismatch: return "mismatch";
    case SmimeStatus::None: break;
  }
  return "none";
}

SmimeResult VerifySmime(std::string_view raw_message, std::string_view from_address) {
  SmimeResult result;
  if (!IsSigned(raw_message)) return result;
  result.status = SmimeStatus::Invalid;
  const std::string message = Canonical(raw_message);
  BioPtr in = MemoryBio(message);
  BIO* content_raw = nullptr;
  CmsPtr cms(in ? SMIME_read_CMS(in.get(), &content_raw) : nullptr);
  BioPtr content_bio(content_raw);
  if (!cms) {
    ERR_clear_error();
    return result;
  }
  // The signed content, read once: each verification below reads it afresh.
  std::string content;
  if (content_bio) {
    char buffer[8192];
    int n;
    while ((n = BIO_read(content_bio.get(), buffer, sizeof buffer)) > 0) content.append(buffer, static_cast<size_t>(n));
  }
  auto verify = [&](X509_STORE* store, unsigned flags) {
    BioPtr data = content_bio ? MemoryBio(content) : nullptr;
    const int ok = CMS_verify(cms.get(), nullptr, store, data.get(), nullptr, flags | CMS_BINARY);
    ERR_clear_error();
    return ok == 1;
  };
  // The signature itself (a changed body breaks it), without asking who issued the certificate.
  if (!verify(nullptr, CMS_NO_SIGNER_CERT_VERIFY)) return result;
  STACK_OF(X509)* signers = CMS_get0_signers(cms.get());
  bool matches = false;
  for (int i = 0; signers && i < sk_X509_num(signers); ++i) {
    for (const auto& email : EmailsOf(sk_X509_value(signers, i))) {
      if (result.signer.empty()) result.signer = email;
      if (EqualIgnoringCase(email, from_address)) matches = true;
    }
  }
  sk_X509_free(signers);
  if (!matches) {
    result.status = SmimeStatus::Mismatch;
    return result;
  }
  StorePtr store(X509_STORE_new());
  if (!store || X509_STORE_set_default_paths(store.get()) != 1 || !verify(store.get(), 0)) {
    result.status = SmimeStatus::Untrusted;
    return result;
  }
  result.status = SmimeStatus::Trusted;
  return result;
}

}  // namespace plumex
