// The members of a JSON object whose values matter as text: strings (unescaped, UTF-8),
// numbers, true / false as written. Nested objects and arrays are skipped. Enough for the
// answers of an OAuth2 token endpoint, which are flat objects (RFC 6749 section 5).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace plumex {

// Nothing when the text is not one JSON object.
std::optional<std::map<std::string, std::string>> ParseFlatJsonObject(std::string_view text);

}  // namespace plumex
