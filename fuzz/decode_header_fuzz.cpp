// decode_header: arbitrary bytes, no crash, no read past the end (the input is copied into a buffer of
// exactly its size, so AddressSanitizer sees any overrun).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  DecodeHeader(text, size % 2 ? "EUC" : "");
  DecodeHeaderUtf8(text, size % 2 ? "Big5" : "");
  DecodeIsoQ(text);
  for (JisReading reading : {JisReading::Text, JisReading::HeaderWord, JisReading::CodePage50220})
    JisToSjis(text, reading);
  return 0;
}
