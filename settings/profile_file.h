// A profile-format settings file: "[section]" lines, each followed by "key=value" lines.
// Sections and keys are matched without regard to ASCII case, as profile files are.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plumex {

class ProfileFile {
 public:
  // A missing or unreadable file gives an empty profile.
  static ProfileFile Load(const std::filesystem::path& file);
  void Save(const std::filesystem::path& file) const;  // atomic, CR LF

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // A value that is not a whole decimal number gives the fallback.
  long long ReadInteger(std::string_view section, std::string_view key, long long fallback) const;
  // True when the value is a non-zero number.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, long long value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  const std::string* Find(std::string_view section, std::string_view key) const;
  std::vector<Section> sections_;
};

}  // namespace plumex
