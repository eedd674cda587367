// The page the HTML view shows for a message body (code page 932 text).
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// From the first "<html" (any letter case) through the end of the first "</html>" after it;
// to the end of the body when no "</html>" follows. A body without "<html" is wrapped in
// "<html>" ... "</html>".
std::string HtmlPageOf(std::string_view body);

}  // namespace plumex
