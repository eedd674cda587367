#include "protocol/address_list.h"

#include <algorithm>

namespace plumex {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// A double-byte character of code page 932 (a display name as typed): its second byte may be
// a backslash (表, ソ, 予) that escapes nothing, so it is passed over whole inside quotes.
bool IsDoubleByteAt(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) || i + 1 >= s.size()) return false;
  const auto trail = static_cast<unsigned char>(s[i + 1]);
  return trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
}

// Removes one level of quotes and backslash escapes; keeps everything else.
std::string Unquote(std::string_view s) {
  s = Trim(s);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
    std::string out;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
      if (IsDoubleByteAt(s, i) && i + 2 < s.size()) out += s[i++];
      else if (s[i] == '\\' && i + 2 < s.size()) ++i;
      out += s[i];
    }
    return out;
  }
  return std::string(s);
}

MailAddress ParseOne(std::string_view item) {
  MailAddress a;
  // Find the angle-bracketed address outside quotes.
  bool quoted = false;
  int depth = 0;
  size_t lt = std::string_view::npos;
  for (size_t i = 0; i < item.size(); ++i) {
    const char c = item[i];
    if (quoted) {
      if (IsDoubleByteAt(item, i) || c == '\\') ++i;
      else if (c == '"') quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && depth > 0) {
      --depth;
    } else if (c == '<' && depth == 0) {
      lt = i;
      break;
    }
  }
  if (lt != std::string_view::npos) {
    const size_t gt = item.find('>', lt);
    a.address = std::string(Trim(item.substr(lt + 1, gt == std::string_view::npos ? std::string_view::npos : gt - lt - 1)));
    a.name = Unquote(item.substr(0, lt));
    return a;
  }
  // addr-spec, perhaps with a comment holding the name: "a@b (Name)".
  std::string addr, comment;
  depth = 0;
  quoted = false;
  for (size_t i = 0; i < item.size(); ++i) {
    const char c = item[i];
    if (depth > 0) {
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) continue;
      comment += c;
    } else if (c == '(' && !quoted) {
      depth = 1;
    } else {
      if (c == '"') quoted = !quoted;
      addr += c;
    }
  }
  a.address = std::string(Trim(addr));
  a.name = std::string(Trim(comment));
  return a;
}

}  // namespace

std::string MailAddress::Text() const {
  if (name.empty()) return address;
  bool special = false;
  for (char c : name)
    if (std::string_view("()<>[]:;@\\,\".").find(c) != std::string_view::npos) special = true;
  std::string shown = name;
  if (special) {
    shown = "\"";
    for (char c : name) {
      if (c == '"' || c == '\\') shown += '\\';
      shown += c;
    }
    shown += '"';
  }
  return shown + " <" + address + ">";
}

std::vector<MailAddress> ParseAddressList(std::string_view raw) {
  // Unfolded first: a line break left in a value (a bare CR, a fold kept by the caller) is
  // white space, never part of an address or a name that goes into a command or a stored line.
  std::string unfolded(raw);
  std::replace_if(unfolded.begin(), unfolded.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  const std::string_view value = unfolded;
  std::vector<MailAddress> out;
  auto flush = [&](std::string_view item) {
    item = Trim(item);
    if (item.empty()) return;
    MailAddress a = ParseOne(item);
    if (!a.address.empty() || !a.name.empty()) out.push_back(std::move(a));
  };
  bool quoted = false;
  int depth = 0, angle = 0;
  size_t start = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (quoted) {
      if (IsDoubleByteAt(value, i) || c == '\\') ++i;
      else if (c == '"') quoted = false;
      continue;
    }
    if (c == '"') quoted = true;
    else if (c == '(') ++depth;
    else if (c == ')' && depth > 0) --depth;
    else if (depth > 0) continue;
    else if (c == '<') ++angle;
    else if (c == '>' && angle > 0) --angle;
    else if (angle == 0 && c == ':') {
      // A group's name: what follows are its members.
      start = i + 1;
    } else if (angle == 0 && (c == ',' || c == ';')) {
      flush(value.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < value.size()) flush(value.substr(start));
  return out;
}

}  // namespace plumex
