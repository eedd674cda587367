// JPEG pictures for the attachment preview, decoded with libjpeg. Pictures whose declared size
// is beyond the limits are refused before any pixel memory is taken, so a small file cannot
// make the viewer allocate gigabytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace plumex {

inline constexpr std::uint32_t kMaxPictureSide = 16384;
inline constexpr std::uint64_t kMaxPicturePixels = 50'000'000;

struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3, rows top to bottom
};

// Whether a picture of this size may be decoded.
bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height);

// Nothing for data that is not a JPEG picture, is broken, or is too large.
std::optional<DecodedPicture> DecodeJpeg(std::string_view bytes);

}  // namespace plumex
