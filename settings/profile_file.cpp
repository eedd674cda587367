#include "settings/profile_file.h"

#include <charconv>

#include "text/ascii_case.h"
#include "platform/text_file.h"

namespace plumex {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseInteger(std::string_view text, long long& value) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

ProfileFile ProfileFile::Load(const std::filesystem::path& file) {
  ProfileFile profile;
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return profile;
  Section* current = nullptr;
  for (const auto& raw : lines) {
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      profile.sections_.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
      current = &profile.sections_.back();
      continue;
    }
    size_t eq = line.find('=');
    if (!current || eq == std::string_view::npos) continue;
    current->entries.emplace_back(std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1))));
  }
  return profile;
}

void ProfileFile::Save(const std::filesystem::path& file) const {
  std::vector<std::string> lines;
  for (const auto& section : sections_) {
    lines.push_back("[" + section.name + "]");
    for (const auto& [key, value] : section.entries) lines.push_back(key + "=" + value);
    lines.emplace_back();
  }
  WriteLines(file, lines);
}

const std::string* ProfileFile::Find(std::string_view section, std::string_view key) const {
  for (const auto& s : sections_) {
    if (!EqualIgnoringCase(s.name, section)) continue;
    for (const auto& [k, v] : s.entries)
      if (EqualIgnoringCase(k, key)) return &v;
  }
  return nullptr;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
  const std::string* v = Find(section, key);
  return v ? *v : std::string(fallback);
}

long long ProfileFile::ReadInteger(std::string_view section, std::string_view key, long long fallback) const {
  const std::string* v = Find(section, key);
  long long value = 0;
  return v && ParseInteger(*v, value) ? value : fallback;
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section* target = nullptr;
  for (auto& s : sections_)
    if (EqualIgnoringCase(s.name, section)) target = &s;
  if (!target) {
    sections_.push_back({std::string(section), {}});
    target = &sections_.back();
  }
  for (auto& [k, v] : target->entries) {
    if (EqualIgnoringCase(k, key)) {
      v = value;
      return;
    }
  }
  target->entries.emplace_back(std::string(key), std::string(value));
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace plumex
