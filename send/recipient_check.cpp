#include "send/recipient_check.h"

#include "text/code_page.h"
#include "protocol/address_list.h"

namespace plumex {
namespace {

// "local@domain" with both sides present and no "@" hidden as the second byte of a double-byte
// character (0x40 is a valid trail byte of code page 932).
bool IsAddress(std::string_view text) {
  size_t at = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(b)) {
      ++i;
      continue;
    }
    if (b == '@') at = i;
  }
  return at != std::string_view::npos && at > 0 && at + 1 < text.size();
}

}  // namespace

std::optional<std::string> RecipientWithoutAddress(std::string_view field) {
  for (const MailAddress& entry : ParseAddressList(field)) {
    if (entry.address.find("%SS") != std::string::npos || entry.address.find("%ss") != std::string::npos) continue;
    if (!IsAddress(entry.address)) return entry.Text();
  }
  return std::nullopt;
}

}  // namespace plumex
