#include "settings/start_password.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include "text/base64.h"
#include "platform/text_file.h"

namespace plumex {
namespace {

constexpr size_t kRecordSize = 68;
constexpr size_t kLengthOffset = 10;
constexpr size_t kTextOffset = 11;
constexpr int kIterations = 100000;
constexpr size_t kSaltBytes = 9;   // 12 base64 characters
constexpr size_t kHashBytes = 24;  // 32 base64 characters
// "p1$" + salt + "$" + hash: 48 bytes, within the record's 50.
constexpr std::string_view kScheme = "p1$";

std::string Derive(std::string_view password, std::string_view salt) {
  std::string upper(password);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  unsigned char out[kHashBytes];
  if (PKCS5_PBKDF2_HMAC(upper.data(), static_cast<int>(upper.size()), reinterpret_cast<const unsigned char*>(salt.data()),
                        static_cast<int>(salt.size()), kIterations, EVP_sha256(), sizeof out, out) != 1)
    return {};
  return std::string(reinterpret_cast<const char*>(out), sizeof out);
}

}  // namespace

bool IsAcceptablePassword(std::string_view password) {
  if (password.empty() || password.size() > kMaxStartPasswordBytes) return false;
  for (unsigned char c : password)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

std::string StoredPasswordText(std::string_view password) {
  unsigned char salt[kSaltBytes];
  if (RAND_bytes(salt, sizeof salt) != 1) return {};
  const std::string salt_text(reinterpret_cast<const char*>(salt), sizeof salt);
  const std::string hash = Derive(password, salt_text);
  if (hash.empty()) return {};
  return std::string(kScheme) + Base64Encode(salt_text) + "$" + Base64Encode(hash);
}

bool PasswordMatches(std::string_view answer, std::string_view stored) {
  if (stored.substr(0, kScheme.size()) != kScheme) return false;
  stored.remove_prefix(kScheme.size());
  const size_t dollar = stored.find('$');
  if (dollar == std::string_view::npos) return false;
  const std::string salt = Base64DecodeBytes(stored.substr(0, dollar));
  const std::string expected = Base64DecodeBytes(stored.substr(dollar + 1));
  if (salt.size() != kSaltBytes || expected.size() != kHashBytes) return false;
  const std::string hash = Derive(answer, salt);
  return hash.size() == expected.size() && CRYPTO_memcmp(hash.data(), expected.data(), hash.size()) == 0;
}

std::filesystem::path PasswordFilePath(const std::filesystem::path& mail_root) { return mail_root / "Pass.dat"; }

std::optional<std::string> ReadPasswordFile(const std::filesystem::path& mail_root) {
  auto bytes = ReadFileBytes(PasswordFilePath(mail_root));
  if (!bytes) return std::nullopt;
  if (bytes->size() < kRecordSize) return std::string();
  const size_t length = static_cast<unsigned char>((*bytes)[kLengthOffset]);
  if (length > kMaxStartPasswordBytes) return std::string();
  return bytes->substr(kTextOffset, length);
}

void WritePasswordFile(const std::filesystem::path& mail_root, std::string_view stored) {
  std::string record(kRecordSize, '\0');
  const size_t length = std::min(stored.size(), kMaxStartPasswordBytes);
  record[kLengthOffset] = static_cast<char>(length);
  record.replace(kTextOffset, length, stored.substr(0, length));
  WriteFileAtomic(PasswordFilePath(mail_root), record);
}

}  // namespace plumex
