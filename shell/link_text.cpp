#include "shell/link_text.h"

#include <algorithm>

namespace plumex {
namespace {

constexpr std::u16string_view kHttp = u"http://";
constexpr std::u16string_view kHttps = u"https://";

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::vector<TextRange> LinkColourRanges(std::u16string_view text) {
  std::vector<TextRange> ranges;
  size_t from = 0;
  while (from < text.size()) {
    size_t start = text.find(kHttp, from);
    if (start == std::u16string_view::npos) break;
    size_t newline = text.find(u'\n', start);
    size_t stop = newline == std::u16string_view::npos ? text.size() : newline + 1;
    ranges.push_back({start, stop - start});
    from = stop;
  }
  return ranges;
}

bool IsLinkChar(char16_t c) {
  if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return true;
  return std::u16string_view(u"#$%&+-./:=?_~").find(c) != std::u16string_view::npos;
}

std::optional<std::u16string> FindLinkAt(std::u16string_view text, size_t position) {
  if (text.empty()) return std::nullopt;
  size_t i = std::min(position, text.size() - 1);
  for (;;) {
    std::u16string_view rest = text.substr(i, kMaxLinkChars);
    if (StartsWith(rest, kHttp) || StartsWith(rest, kHttps)) break;
    if (!IsLinkChar(text[i]) || i == 0) return std::nullopt;
    --i;
  }
  size_t end = i;
  while (end < text.size() && end - i < kMaxLinkChars && IsLinkChar(text[end])) ++end;
  return std::u16string(text.substr(i, end - i));
}

}  // namespace plumex
