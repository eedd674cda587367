#include "platform/mail_root.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

// Sets an environment variable for one scope (unset when value is null), then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(MailRootTest, OptionThenEnvironmentThenPortableThenUserData) {
  test::TempDir exe, plain_exe, data;
  std::ofstream(exe.path() / "Account.ini") << "";
  const std::string data_dir = data.path().string();
  struct Case {
    const char* what;
    std::optional<std::string> option;
    const char* env;
    const char* xdg;
    std::filesystem::path exe_dir, root;
    MailRootSource source;
  } cases[] = {
      {"--root wins", "/srv/mail", "/env/mail", data_dir.c_str(), exe.path(), "/srv/mail", MailRootSource::Option},
      {"then PLUMEX_ROOT", std::nullopt, "/env/mail", data_dir.c_str(), exe.path(), "/env/mail",
       MailRootSource::Environment},
      {"a store beside the program", std::nullopt, nullptr, data_dir.c_str(), exe.path(), exe.path(),
       MailRootSource::Portable},
      {"the user's data directory", std::nullopt, nullptr, data_dir.c_str(), plain_exe.path(), data.path() / "plumex",
       MailRootSource::UserData},
      {"an empty option counts as none", std::string(), "", data_dir.c_str(), plain_exe.path(), data.path() / "plumex",
       MailRootSource::UserData},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ScopedEnv env("PLUMEX_ROOT", k.env);
    ScopedEnv xdg("XDG_DATA_HOME", k.xdg);
    const MailRootChoice chosen = ChooseMailRoot(k.option, k.exe_dir);
    EXPECT_EQ(chosen.root, k.root);
    EXPECT_EQ(chosen.source, k.source);
  }
  // Without XDG_DATA_HOME (or with a relative one) the default is ~/.local/share/plumex.
  ScopedEnv env("PLUMEX_ROOT", nullptr);
  ScopedEnv home("HOME", data_dir.c_str());
  for (const char* xdg_value : {static_cast<const char*>(nullptr), "relative/dir"}) {
    ScopedEnv xdg("XDG_DATA_HOME", xdg_value);
    EXPECT_EQ(ChooseMailRoot(std::nullopt, plain_exe.path()).root, data.path() / ".local" / "share" / "plumex");
  }
}

}  // namespace
}  // namespace plumex
