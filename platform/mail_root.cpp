#include "platform/mail_root.h"

#include <cstdlib>
#include <system_error>

namespace plumex {

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

std::filesystem::path ResolveMailRoot(const std::optional<std::string>& root_option) {
  std::filesystem::path root;
  if (root_option && !root_option->empty()) {
    root = *root_option;
  } else if (const char* env = std::getenv("PLUMEX_ROOT"); env && *env) {
    root = env;
  } else {
    root = ExecutableDirectory();
  }
  std::error_code ec;
  auto absolute = std::filesystem::absolute(root, ec);
  return ec ? root : absolute.lexically_normal();
}

}  // namespace plumex
