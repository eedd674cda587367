// Mailbox import: arbitrary bytes as a mailbox file, imported into a store of its own. No
// crash; a second import of the same file files nothing more.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "receive/mailbox_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  static const std::filesystem::path dir = [] {
    char name[] = "/tmp/plumex-import-fuzz-XXXXXX";
    const char* made = mkdtemp(name);
    return std::filesystem::path(made ? made : "/tmp/plumex-import-fuzz");
  }();
  const auto root = dir / "root";
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  std::filesystem::create_directories(root, ec);
  const auto box = dir / "box.mbx";
  std::ofstream(box, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    const RuleList rules;
    ImportResult first = ImportMailbox(box, root, "acc", rules);
    ImportResult second = ImportMailbox(box, root, "acc", rules);
    if (second.filed != 0 || first.messages != second.messages) std::abort();
  } catch (const std::exception&) {
    // A file name the file system refuses ends the import with a message: no crash.
  }
  return 0;
}
