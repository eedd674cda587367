// charset_to_sjis: a charset label (the input up to its first newline) and text in it, through
// every decoder that takes a label; the result must hold only code page 932 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codecs/body_text.h"
#include "codecs/charset.h"
#include "codecs/cp932_check.h"
#include "codecs/header_encode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t nl = input.find('\n');
  const std::string label = nl == std::string::npos ? std::string() : input.substr(0, nl);
  const std::string text = nl == std::string::npos ? input : input.substr(nl + 1);
  const std::string body = DecodeBodyText(label, text);
  if (OnlyCp932Characters(body) != body) std::abort();
  CharsetToSjis(label, text);
  IsUtf8WithNonAscii(text);
  const std::string sjis = OnlyCp932Characters(text);
  EncodeHeaderUtf8(sjis);
  FitsJisX0208(sjis);
  return 0;
}
