#include "ui/run_guarded.h"

#include <optional>

#include "port/error_text.h"
#include "ui/dialog_owner.h"

namespace plumex {

bool RunGuarded(QWidget* owner, UiPort& ui, const std::function<void()>& command) {
  std::optional<DialogOwnerScope> scope;
  if (owner) scope.emplace(owner);
  return RunShowingErrors(ui, command);
}

}  // namespace plumex
