#include "shell/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace plumex {
namespace {

// Progressive files can hold thousands of tiny scans, each costing a pass over the picture.
constexpr int kMaxScans = 256;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

struct Progress {
  jpeg_progress_mgr base;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings are not shown

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) OnError(cinfo);
}

}  // namespace

bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

std::optional<DecodedPicture> DecodeJpeg(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnError;
  err.base.emit_message = OnMessage;
  Progress progress{};
  progress.base.progress_monitor = OnProgress;

  // Everything that must survive a longjmp lives outside this block's automatic variables
  // changed after setjmp.
  auto* picture = new DecodedPicture;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    delete picture;
    return std::nullopt;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress.base;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
    jpeg_destroy_decompress(&cinfo);
    delete picture;
    return std::nullopt;
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  picture->width = static_cast<int>(cinfo.output_width);
  picture->height = static_cast<int>(cinfo.output_height);
  const size_t stride = static_cast<size_t>(cinfo.output_width) * 3;
  picture->rgb.assign(stride * cinfo.output_height, 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = picture->rgb.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  DecodedPicture result = std::move(*picture);
  delete picture;
  return result;
}

}  // namespace plumex
