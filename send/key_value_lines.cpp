#include "send/key_value_lines.h"

namespace plumex {
namespace {

const std::string* Find(const std::vector<std::string>& lines, std::string_view key) {
  for (const auto& line : lines) {
    size_t colon = line.find(':');
    if (colon != std::string::npos && std::string_view(line).substr(0, colon) == key) return &line;
  }
  return nullptr;
}

}  // namespace

std::string ValueOf(const std::vector<std::string>& lines, std::string_view key) {
  const std::string* line = Find(lines, key);
  return line ? line->substr(line->find(':') + 1) : std::string();
}

bool HasKey(const std::vector<std::string>& lines, std::string_view key) { return Find(lines, key) != nullptr; }

}  // namespace plumex
