#include "app/cli/cli_core.h"

#include <ostream>

#include "app/cli/cli_texts.h"
#include "text/code_page.h"

namespace plumex::cli {

bool StartCore(AppCore& core, std::ostream& err) {
  bool started = false;
  if (!core.Run([&] { started = core.Start(); })) return false;
  if (!started) err << "plumex-cli: " << texts::kCliStorePasswordLocked << "\n";
  return started;
}

bool UseAccount(AppCore& core, const std::string& name, std::ostream& err) {
  const std::string chosen = name.empty() ? core.State().CurrentAccount : name;
  if (!chosen.empty() && core.UseAccount(chosen)) return true;
  err << "plumex-cli: " << texts::kCliNoSuchAccount << Cp932ToUtf8(chosen) << "\n";
  return false;
}

}  // namespace plumex::cli
