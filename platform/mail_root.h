// Where the mail store lives: --root DIR, else $PLUMEX_ROOT, else the executable's directory.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace plumex {

std::filesystem::path ExecutableDirectory();

std::filesystem::path ResolveMailRoot(const std::optional<std::string>& root_option);

}  // namespace plumex
