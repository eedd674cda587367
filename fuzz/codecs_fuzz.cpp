// Every decoder and parser of the codecs on arbitrary bytes: no crash, no read past the end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/base64.h"
#include "codecs/body_text.h"
#include "codecs/header_decode.h"
#include "codecs/header_encode.h"
#include "codecs/jconvert.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  // Separate buffers of exactly the input's size, so a read past the end is caught.
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string_view view(text);
  DetectCode(view);
  ConvertCode(view, CodeSjis);
  ConvertCode(view, CodeJis);
  EucToSjis(view);
  SjisToJis(view);
  EucToJis(view);
  Base64Decode(view);
  EncodeHeaderWord(view);
  EncodeHeaderB(view);
  DecodeHeader(view, size % 2 ? "EUC" : "");
  DecodeBodyText(size % 3 == 0 ? "UTF-8" : size % 3 == 1 ? "ISO-2022-JP" : "", view);
  std::vector<std::string> lines = SplitLines(view);
  for (size_t start = 0; start < lines.size() && start < 60;) {
    size_t before = start;
    FindHeaderValue(lines.empty() ? "" : lines[0].substr(0, 8), lines, size % 2 == 0, start);
    if (start <= before) break;
  }
  size_t start = 0;
  FindHeaderValue("charset", lines, false, start);
  return 0;
}
