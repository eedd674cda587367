#include "platform/mail_root.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace plumex {
namespace {

std::filesystem::path Absolute(const std::filesystem::path& p) {
  std::error_code ec;
  auto absolute = std::filesystem::absolute(p, ec);
  return ec ? p : absolute.lexically_normal();
}

// $XDG_DATA_HOME when it is an absolute path (the base directory rules ignore a relative
// one), else ~/.local/share, with the home directory from $HOME or the password database.
std::filesystem::path UserDataDirectory() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return xdg;
  std::filesystem::path home;
  if (const char* env = std::getenv("HOME"); env && *env) home = env;
  else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
  else home = "/tmp";
  return home / ".local" / "share";
}

}  // namespace

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

MailRootChoice ChooseMailRoot(const std::optional<std::string>& root_option, const std::filesystem::path& exe_dir) {
  if (root_option && !root_option->empty()) return {Absolute(*root_option), MailRootSource::Option};
  if (const char* env = std::getenv("PLUMEX_ROOT"); env && *env) return {Absolute(env), MailRootSource::Environment};
  std::error_code ec;
  if (!exe_dir.empty() && std::filesystem::is_regular_file(exe_dir / "Account.ini", ec))
    return {Absolute(exe_dir), MailRootSource::Portable};
  return {Absolute(UserDataDirectory() / "plumex"), MailRootSource::UserData};
}

std::filesystem::path ResolveMailRoot(const std::optional<std::string>& root_option) {
  return ChooseMailRoot(root_option).root;
}

}  // namespace plumex
