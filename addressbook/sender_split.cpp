#include "addressbook/sender_split.h"

#include <vector>

#include "text/code_page.h"

namespace plumex {

NameAndAddress SplitSender(std::string_view text) {
  NameAndAddress out{"", std::string(text)};
  // "<", ">", the double quote and the blanks lie below 0x40: never a trail byte.
  const size_t open = text.find('<');
  if (open == std::string_view::npos) return out;
  std::string_view name = text.substr(0, open);
  std::string_view rest = text.substr(open + 1);
  out.address = std::string(rest.substr(0, rest.find('>')));
  while (!name.empty() && static_cast<unsigned char>(name.front()) <= 0x20) name.remove_prefix(1);
  while (!name.empty() && static_cast<unsigned char>(name.back()) <= 0x20) name.remove_suffix(1);
  if (!name.empty() && name.front() == '"') name.remove_prefix(1);
  if (!name.empty() && name.back() == '"') name.remove_suffix(1);
  out.name = std::string(name);
  return out;
}

namespace {

struct Char {
  size_t start;
  size_t size;
};

bool MayBeInAddress(std::string_view line, const Char& c) {
  if (c.size != 1) return false;
  const auto b = static_cast<unsigned char>(line[c.start]);
  if (b >= 0x80) return !IsCp932LeadByte(b);  // half-width katakana; a lone lead byte ends it
  if (b <= 0x20 || b == 0x7F) return false;
  return std::string_view("\"#$%&'():<>[\\]~").find(static_cast<char>(b)) == std::string_view::npos;
}

}  // namespace

std::string AddressInLine(std::string_view line) {
  std::vector<Char> chars;
  for (size_t i = 0; i < line.size();) {
    const size_t size = IsCp932LeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
    chars.push_back({i, size});
    i += size;
  }
  size_t at = 0;
  while (at < chars.size() && !(chars[at].size == 1 && line[chars[at].start] == '@')) ++at;
  if (at == chars.size()) return {};
  size_t first = at, last = at;
  while (first > 0 && MayBeInAddress(line, chars[first - 1])) --first;
  while (last + 1 < chars.size() && MayBeInAddress(line, chars[last + 1])) ++last;
  std::string address(line.substr(chars[first].start, chars[last].start + chars[last].size - chars[first].start));
  while (!address.empty() && (address.back() == ',' || address.back() == '.')) address.pop_back();
  return address;
}

}  // namespace plumex
