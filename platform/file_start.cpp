#include "platform/file_start.h"

#include <algorithm>
#include <fstream>

#include "platform/text_file.h"

namespace plumex {

std::optional<std::string> ReadFileStart(const std::filesystem::path& path, size_t max_bytes) {
  // A folder (or a pipe) where a file should be cannot be read as one, and must not be taken
  // for a missing file either: that would be written over, or waited on for ever.
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || status.type() == std::filesystem::file_type::not_found) return std::nullopt;
  if (status.type() != std::filesystem::file_type::regular) throw NotAFileError(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size > 0) {
    data.resize(std::min(static_cast<size_t>(size), max_bytes));
    in.seekg(0, std::ios::beg);
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return data;
}

}  // namespace plumex
