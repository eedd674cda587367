#include "text/sjis_text.h"

#include <unordered_map>

#include "text/code_page.h"

namespace plumex {

const std::string& Sjis(std::string_view utf8) {
  static std::unordered_map<std::string, std::string> cache;
  auto it = cache.find(std::string(utf8));
  if (it == cache.end()) it = cache.emplace(std::string(utf8), Utf8ToCp932(utf8)).first;
  return it->second;
}

}  // namespace plumex
