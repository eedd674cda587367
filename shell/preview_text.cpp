#include "shell/preview_text.h"

#include "codecs/charset.h"
#include "text/code_page.h"
#include "platform/file_start.h"

namespace plumex {

std::string PreviewTextOf(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    // Whole code units only: a file cut at the preview's limit may end half-way through one.
    return Utf8ToCp932(CharsetToUtf8("UTF-16", bytes.substr(0, bytes.size() & ~size_t{1})));
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) return Utf8ToCp932(bytes.substr(3));
  if (IsUtf8WithNonAscii(bytes)) return Utf8ToCp932(bytes);
  return UnlabelledToSjis(bytes);
}

std::string PreviewTextOfFile(const std::filesystem::path& file) {
  const std::optional<std::string> bytes = ReadFileStart(file, kMaxPreviewTextBytes);
  return bytes ? PreviewTextOf(*bytes) : std::string();
}

}  // namespace plumex
