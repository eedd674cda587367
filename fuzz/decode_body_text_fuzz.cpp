// decode_body_text: arbitrary bytes, no crash, no read past the end (the input is copied into a buffer of
// exactly its size, so AddressSanitizer sees any overrun).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/body_text.h"
#include "text/code_page.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  DecodeBodyText(size % 3 == 0 ? "UTF-8" : size % 3 == 1 ? "ISO-2022-JP" : "", text);
  DecodeBodyTextUtf8(size % 3 == 0 ? "Shift_JIS" : size % 3 == 1 ? "GB2312" : "", text);
  // What the windows and the tool hand to the core, and back.
  Cp932ToUtf8(Utf8ToCp932(text));
  Cp932ToUtf8(text);
  return 0;
}
