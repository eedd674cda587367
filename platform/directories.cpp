#include "platform/directories.h"

#include <algorithm>
#include <system_error>

#include "platform/store_path.h"

namespace fs = std::filesystem;

namespace plumex {
namespace {

std::vector<std::string> List(const fs::path& dir, bool directories) {
  std::vector<std::string> native;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    bool is_dir = it->is_directory(type_ec);
    bool is_file = it->is_regular_file(type_ec);
    if ((directories && is_dir) || (!directories && is_file)) native.push_back(it->path().filename().string());
  }
  std::sort(native.begin(), native.end());
  std::vector<std::string> names;
  names.reserve(native.size());
  for (const auto& n : native) names.push_back(StoreName(n));
  return names;
}

}  // namespace

std::vector<std::string> ListSubdirectories(const fs::path& dir) { return List(dir, true); }
std::vector<std::string> ListFiles(const fs::path& dir) { return List(dir, false); }

bool EnsureDirectory(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  return fs::is_directory(dir, ec);
}

bool RemoveRecursively(const fs::path& dir) {
  std::error_code ec;
  fs::remove_all(dir, ec);
  return !ec && !fs::exists(fs::symlink_status(dir, ec));
}

bool CopyDirectory(const fs::path& dir, const fs::path& target) {
  std::error_code ec;
  fs::create_directories(target, ec);
  fs::copy(dir, target, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  return !ec;
}

bool MovePath(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  if (ec != std::errc::cross_device_link) return false;
  if (fs::is_directory(from, ec)) {
    if (!CopyDirectory(from, to)) return false;
  } else if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) {
    return false;
  }
  return RemoveRecursively(from);
}

bool FileExists(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool DirectoryExists(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

}  // namespace plumex
