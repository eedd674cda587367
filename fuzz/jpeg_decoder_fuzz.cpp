// The JPEG decoder of the attachment preview, fed with arbitrary attachment bytes: a picture or
// nothing, never a crash or an allocation beyond the size it allows.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto picture = plumex::DecodeJpeg(std::string_view(reinterpret_cast<const char*>(data), size));
  return picture ? 0 : 0;
}
