#include "shell/inline_parts.h"

#include <algorithm>
#include <string>

#include "text/ascii_case.h"
#include "platform/store_path.h"
#include "shell/mailto_address.h"
#include "store/stored_message.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

std::string WithoutBrackets(std::string id) {
  if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
  return id;
}

}  // namespace

std::optional<std::filesystem::path> InlinePartFile(const ViewerContent& viewer, std::string_view address) {
  if (address.size() < 4 || AsciiLower(address.substr(0, 4)) != "cid:" || viewer.attachments.empty()) return std::nullopt;
  const std::string id = WithoutBrackets(PercentDecoded(address.substr(4)));
  if (id.empty()) return std::nullopt;
  auto listed = [&viewer](const std::string& name) -> std::optional<std::filesystem::path> {
    // Only an entry of the attachment list: never a path that leads elsewhere.
    if (std::find(viewer.attachments.begin(), viewer.attachments.end(), name) == viewer.attachments.end())
      return std::nullopt;
    return viewer.attachment_dir / NativeName(name);
  };
  // The Content-ID lines of the message's pseudo-header.
  const std::string key = std::string(kContentIdKey) + ":";
  size_t start = 0;
  while (start < viewer.header_text.size()) {
    size_t end = viewer.header_text.find("\r\n", start);
    if (end == std::string::npos) end = viewer.header_text.size();
    const std::string_view line = std::string_view(viewer.header_text).substr(start, end - start);
    start = end + 2;
    if (line.size() <= key.size() || !EqualIgnoringCase(line.substr(0, key.size()), key)) continue;
    const std::string value(line.substr(key.size()));
    if (WithoutBrackets(FieldOf(value, 0)) == id) return listed(FieldOf(value, 1));
  }
  // Mail filed before these lines were kept: a part named like its id.
  if (auto file = listed(id)) return file;
  if (const size_t at = id.find('@'); at != std::string::npos && at > 0) return listed(id.substr(0, at));
  return std::nullopt;
}

}  // namespace plumex
