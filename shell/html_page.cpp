#include "shell/html_page.h"

namespace plumex {

std::string HtmlPageOf(std::string_view body) {
  std::string lower(body);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  size_t start = lower.find("<html");
  if (start == std::string::npos) return "<html>" + std::string(body) + "</html>";
  size_t close = lower.find("</html>", start);
  size_t stop = close == std::string::npos ? body.size() : close + 7;
  return std::string(body.substr(start, stop - start));
}

}  // namespace plumex
