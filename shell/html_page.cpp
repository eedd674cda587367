#include "shell/html_page.h"

#include "platform/ascii_case.h"

namespace plumex {

std::string HtmlPageOf(std::string_view body) {
  const std::string lower = AsciiLower(body);
  size_t start = lower.find("<html");
  if (start == std::string::npos) return "<html>" + std::string(body) + "</html>";
  size_t close = lower.find("</html>", start);
  size_t stop = close == std::string::npos ? body.size() : close + 7;
  return std::string(body.substr(start, stop - start));
}

}  // namespace plumex
