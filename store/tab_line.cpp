#include "store/tab_line.h"

#include <algorithm>

namespace plumex {

std::string_view FieldView(std::string_view line, size_t n) {
  size_t start = 0;
  for (size_t i = 0; i < n; ++i) {
    size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) return {};
    start = tab + 1;
  }
  size_t end = line.find('\t', start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::vector<std::string> SplitAt(std::string_view text, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      fields.emplace_back(text.substr(start));
      return fields;
    }
    fields.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
}

std::vector<std::string> SplitTabLine(std::string_view line) { return SplitAt(line, '\t'); }

std::string JoinTabLine(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += '\t';
    out += fields[i];
  }
  return out;
}

size_t FieldCount(std::string_view line) { return static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1; }

}  // namespace plumex
