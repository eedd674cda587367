// base64_decode: arbitrary bytes, no crash, no read past the end (the input is copied into a buffer of
// exactly its size, so AddressSanitizer sees any overrun).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/base64.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  Base64Decode(text);
  Base64DecodeBytes(text);
  return 0;
}
