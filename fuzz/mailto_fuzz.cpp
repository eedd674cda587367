// "mailto:" links from the desktop, fed with arbitrary bytes: fields or nothing, no crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/mailto_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto fields = plumex::ParseMailto(text);
  return fields ? 0 : 0;
}
