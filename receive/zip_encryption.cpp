#include "receive/zip_encryption.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>

namespace plumex {
namespace {

constexpr unsigned long long kTailBytes = 65536 + 22 + 1024;
constexpr size_t kMaxCentralEntries = 65535;

unsigned Le16(std::string_view b, size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8;
}
unsigned long Le32(std::string_view b, size_t at) {
  return static_cast<unsigned long>(Le16(b, at)) | static_cast<unsigned long>(Le16(b, at + 2)) << 16;
}

bool LocalHeaderEncrypted(std::string_view head) {
  return head.size() >= 30 && head.substr(0, 4) == std::string_view("PK\x03\x04", 4) && (Le16(head, 6) & 1) != 0;
}

}  // namespace

bool IsEncryptedZipBytes(std::string_view head, std::string_view tail, unsigned long long tail_offset) {
  if (head.size() < 4 || (head.substr(0, 4) != std::string_view("PK\x03\x04", 4) &&
                          head.substr(0, 4) != std::string_view("PK\x05\x06", 4)))
    return false;
  if (LocalHeaderEncrypted(head)) return true;
  // The end-of-central-directory record: the last "PK\5\6" with room for its 22 bytes.
  const std::string_view eocd_sig("PK\x05\x06", 4);
  size_t eocd = tail.rfind(eocd_sig);
  while (eocd != std::string_view::npos && eocd + 22 > tail.size()) eocd = eocd == 0 ? std::string_view::npos : tail.rfind(eocd_sig, eocd - 1);
  if (eocd == std::string_view::npos) return false;
  const unsigned long long cd_size = Le32(tail, eocd + 12);
  const unsigned long long cd_offset = Le32(tail, eocd + 16);
  if (cd_offset < tail_offset || cd_offset - tail_offset + cd_size > tail.size()) return false;
  std::string_view cd = tail.substr(static_cast<size_t>(cd_offset - tail_offset), static_cast<size_t>(cd_size));
  size_t pos = 0;
  for (size_t n = 0; n < kMaxCentralEntries && pos + 46 <= cd.size(); ++n) {
    if (cd.substr(pos, 4) != std::string_view("PK\x01\x02", 4)) break;
    if (Le16(cd, pos + 8) & 1) return true;
    pos += 46 + Le16(cd, pos + 28) + Le16(cd, pos + 30) + Le16(cd, pos + 32);
  }
  return false;
}

bool IsEncryptedZip(const std::filesystem::path& file) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec || size < 22) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string head(30, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  // Anything that does not start as a ZIP archive costs no more than these bytes.
  if (head.size() < 4 || head.compare(0, 2, "PK") != 0) return false;
  if (LocalHeaderEncrypted(head)) return true;
  // The central directory usually sits just before the end record; a directory larger than
  // the tail read is left to the local header test.
  const unsigned long long tail_offset = size > kTailBytes * 4 ? size - kTailBytes * 4 : 0;
  in.clear();
  in.seekg(static_cast<std::streamoff>(tail_offset));
  std::string tail(static_cast<size_t>(size - tail_offset), '\0');
  in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  tail.resize(static_cast<size_t>(in.gcount()));
  return IsEncryptedZipBytes(head, tail, tail_offset);
}

}  // namespace plumex
