#include "text/ascii_case.h"

#include <algorithm>

namespace plumex {

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToAsciiUpper(c);
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToAsciiLower(c);
  return out;
}

bool StartsWithIgnoringCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - std::min(at, text.size()) < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (ToAsciiUpper(text[at + i]) != ToAsciiUpper(prefix[i])) return false;
  return true;
}

size_t FindIgnoringCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i)
    if (StartsWithIgnoringCase(text, i, needle)) return i;
  return std::string_view::npos;
}

void AppendFoldedCase(std::string& out, std::string_view cp932) {
  const size_t start = out.size();
  out.append(cp932);
  bool trail = false;
  for (size_t i = start; i < out.size(); ++i) {
    const char c = out[i];
    if (!trail) out[i] = ToAsciiLower(c);
    trail = !trail && IsCp932LeadByte(static_cast<unsigned char>(c));
  }
}

}  // namespace plumex
