#include "search/subject_key.h"

namespace plumex {

std::string_view SubjectKeyView(std::string_view subject) {
  size_t start = 0;
  while (start < subject.size() && static_cast<unsigned char>(subject[start]) <= ' ') ++start;
  std::string_view rest = subject.substr(start);
  // Every prefix ends in a colon, so dropping up to the last one leaves what the prefixes
  // stood before, whatever they were ("Re:", "Fw:", "転送:", "返信:" or a text of its own).
  // The colon is an ASCII byte that is never a trail byte in code page 932, so a byte search
  // cannot land inside a two-byte character.
  size_t colon = rest.rfind(':');
  if (colon != std::string_view::npos) rest.remove_prefix(colon + 1);
  // "Re: X" and "X" are one thread: the blank after a prefix's colon is no part of the key.
  while (!rest.empty() && static_cast<unsigned char>(rest.front()) <= ' ') rest.remove_prefix(1);
  return rest;
}

std::string SubjectKey(std::string_view subject) { return std::string(SubjectKeyView(subject)); }

}  // namespace plumex
