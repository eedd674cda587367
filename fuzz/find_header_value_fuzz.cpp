// find_header_value: arbitrary bytes, no crash, no read past the end (the input is copied into a buffer of
// exactly its size, so AddressSanitizer sees any overrun).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/header_decode.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  // The first line is the key, the rest the lines searched, from every start position.
  std::vector<std::string> lines = SplitLines(text);
  const std::string key = lines.empty() ? std::string() : lines.front();
  for (size_t start = 0; start <= lines.size() && start < 60; ++start) {
    size_t i = start;
    FindHeaderValue(key, lines, (size & 1) != 0, i);
  }
  return 0;
}
