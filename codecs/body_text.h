// DecodeBodyText: a message body (or text part) in the named charset to Shift_JIS.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

std::string DecodeBodyText(std::string_view charset, std::string_view text);

}  // namespace plumex
