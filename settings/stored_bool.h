// Booleans in the system's own files: written "-1" (true) and "0" (false); read as true when
// the text is a non-zero number or "True".
#pragma once

#include <string>
#include <string_view>

namespace plumex {

bool ParseStoredBool(std::string_view text);
std::string StoredBoolText(bool value);

}  // namespace plumex
