#include "send/single_line_fields.h"

#include "platform/app_error.h"
#include "text/sjis_text.h"
#include "send/send_texts.h"

namespace plumex {

void RequireSingleLine(std::string_view field, std::string_view value) {
  if (value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) return;
  throw AppError(ErrorKind::BadInput, Sjis(texts::kFieldOpen) + std::string(field) +
                                          Sjis(texts::kFieldNotSingleLine));
}

void RequireSingleLineValues(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const size_t colon = line.find(':');
    const std::string_view key = std::string_view(line).substr(0, colon == std::string::npos ? line.size() : colon);
    if (key == "Password") continue;
    RequireSingleLine(key, colon == std::string::npos ? std::string_view() : std::string_view(line).substr(colon + 1));
  }
}

}  // namespace plumex
