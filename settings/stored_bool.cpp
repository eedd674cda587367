#include "settings/stored_bool.h"

#include <charconv>

#include "text/ascii_case.h"

namespace plumex {

bool ParseStoredBool(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (EqualIgnoringCase(text, "True")) return true;
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value != 0;
}

std::string StoredBoolText(bool value) { return value ? "-1" : "0"; }

}  // namespace plumex
