// text_view: a stored body (HTML or not) through the text view's reading of it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/html_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  plumex::TextViewOf(body);
  plumex::HtmlPageOf(body);
  return 0;
}
