// The page the HTML view shows for a message body (code page 932 text).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plumex {

// From the first "<html" (any letter case) through the end of the first "</html>" after it;
// to the end of the body when no "</html>" follows. A body without "<html" is wrapped in
// "<html>" ... "</html>".
std::string HtmlPageOf(std::string_view body);

// Where the HTML page of a stored body begins: the page filing appends after the text part (a
// line beginning "<html" or "<!DOCTYPE html", any letter case, from which the body runs to its
// final "</html>"), or the whole body when it is such a page alone. Nothing for a plain-text
// body, also one that quotes HTML source in its text.
std::optional<size_t> HtmlPartStart(std::string_view body);

// What the text view shows of a stored body: a body that holds an HTML page (HtmlPartStart)
// after a text part shows the text part only; an HTML page
// alone shows as readable text (tags removed, script and style dropped, entities read, line
// breaks where <br>, paragraphs, rows and list items end them). Other bodies show as stored.
std::string TextViewOf(std::string_view body);

}  // namespace plumex
