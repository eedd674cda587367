// The address-list parser that decides the RCPT TO of every send, fed with arbitrary bytes:
// no crash, no read past the end, and every address it gives is one line without brackets.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "protocol/address_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const plumex::MailAddress& a : plumex::ParseAddressList(text)) {
    if (a.address.find_first_of("\r\n") != std::string::npos) std::abort();
    const std::string again = a.Text();
    if (again.empty() && !a.address.empty()) std::abort();
  }
  return 0;
}
