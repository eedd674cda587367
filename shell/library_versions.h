// "バージョン情報": the program's version, the mail root in use and the libraries below it.
#pragma once

#include <filesystem>
#include <string>

namespace plumex {

// UTF-8 lines, each ending in "\n"; qt_version is the Qt the window runs on.
std::string VersionInformation(const std::string& program_version, const std::filesystem::path& mail_root,
                               const std::string& qt_version);

}  // namespace plumex
