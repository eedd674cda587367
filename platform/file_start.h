// The start of a file, for what shows only its beginning (the attachment preview): the cost
// stays the same however large the file is.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace plumex {

// The first max_bytes of the file (all of a shorter one), or nothing when it is missing or
// cannot be read. Throws NotAFileError (platform/text_file.h) when a folder stands at path.
std::optional<std::string> ReadFileStart(const std::filesystem::path& path, size_t max_bytes);

}  // namespace plumex
