#include "platform/directories.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/private_files.h"
#include "platform/store_path.h"
#include "platform/unique_fd.h"

namespace fs = std::filesystem;

namespace plumex {
namespace {

// The names of the subdirectories (or regular files) of dir, sorted, as store names. A folder
// of many thousand messages is listed to find its few subfolders: the type the directory entry
// carries decides, and only an entry without one (or a symbolic link, followed) costs a stat.
std::vector<std::string> List(const fs::path& dir, bool directories) {
  std::vector<std::string> native;
  if (DIR* d = ::opendir(dir.c_str())) {
    const int fd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (name == "." || name == "..") continue;
      unsigned char type = e->d_type;
      if (type == DT_UNKNOWN || type == DT_LNK) {
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, 0) != 0) continue;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
      }
      if (type == (directories ? DT_DIR : DT_REG)) native.emplace_back(name);
    }
    ::closedir(d);
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
  if (fs::is_directory(dir, ec)) return true;
  // Parents first, each made 0700 as it is created; directories that were already there keep
  // their mode (the mail root may be the user's own choice of a shared place).
  const fs::path parent = dir.parent_path();
  if (!parent.empty() && parent != dir) EnsureDirectory(parent);
  MakePrivateDirectory(dir);
  return fs::is_directory(dir, ec);
}

bool RemoveRecursively(const fs::path& dir) {
  std::error_code ec;
  fs::remove_all(dir, ec);
  return !ec && !fs::exists(fs::symlink_status(dir, ec));
}

namespace {

// Copies one file over target (replacing it atomically); the copy is 0600 like every file the
// store writes, whatever the mode of the original.
std::error_code CopyFileReporting(const fs::path& from, const fs::path& to) {
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) return std::error_code(errno, std::generic_category());
  try {
    AtomicFile out(to);
    std::array<char, 65536> buffer;
    for (;;) {
      ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return std::error_code(errno, std::generic_category());
      if (n == 0) break;
      out.Write(std::string_view(buffer.data(), static_cast<size_t>(n)));
    }
    out.Commit(false);
    return {};
  } catch (const FileWriteError& e) {
    // Without a known errno, a directory that refuses the temporary file is the usual cause.
    return e.error_number() ? std::error_code(e.error_number(), std::generic_category())
                            : std::make_error_code(std::errc::permission_denied);
  }
}

}  // namespace

std::error_code TryCopyDirectory(const fs::path& dir, const fs::path& target) {
  if (!EnsureDirectory(target)) {
    std::error_code ec;
    return fs::exists(target, ec) ? std::make_error_code(std::errc::not_a_directory)
                                  : std::make_error_code(std::errc::permission_denied);
  }
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path to = target / it->path().filename();
    std::error_code type_ec;
    if (it->is_directory(type_ec)) {
      if (auto e = TryCopyDirectory(it->path(), to)) return e;
    } else if (it->is_regular_file(type_ec)) {
      if (auto e = CopyFileReporting(it->path(), to)) return e;
    } else {
      return std::make_error_code(std::errc::invalid_argument);  // nothing else belongs in the store
    }
  }
  return ec;
}

bool CopyDirectory(const fs::path& dir, const fs::path& target) { return !TryCopyDirectory(dir, target); }

std::error_code TryCopyFile(const fs::path& from, const fs::path& to) { return CopyFileReporting(from, to); }

std::error_code TryRemove(const fs::path& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
  if (ec) return ec;
  if (fs::exists(fs::symlink_status(path, ec))) return std::make_error_code(std::errc::permission_denied);
  return {};
}

std::error_code TryMovePath(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec || ec != std::errc::cross_device_link) return ec;
  ec.clear();
  if (fs::is_directory(from, ec)) {
    if (auto e = TryCopyDirectory(from, to)) return e;
  } else if (auto e = CopyFileReporting(from, to)) {
    return e;
  }
  return TryRemove(from);
}

bool MovePath(const fs::path& from, const fs::path& to) { return !TryMovePath(from, to); }

bool FileExists(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool DirectoryExists(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

}  // namespace plumex
