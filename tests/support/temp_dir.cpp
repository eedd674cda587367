#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace plumex::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "plumex-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = made ? std::filesystem::path(made) : std::filesystem::temp_directory_path();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace plumex::test
