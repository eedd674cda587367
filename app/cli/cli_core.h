// The start of every plumex-cli command that works on the store: the application core started
// as the window starts it, and the account in use chosen.
#pragma once

#include <iosfwd>
#include <string>

#include "shell/app_core.h"

namespace plumex::cli {

// Starts the core; false, with the reason on err, when start-up failed or the store is locked
// by the start-up password (the tool never asks for it).
bool StartCore(AppCore& core, std::ostream& err);

// Makes the named account (CP932; empty: the saved one) the one in use; false, with the reason
// on err, when there is no such account.
bool UseAccount(AppCore& core, const std::string& name, std::ostream& err);

}  // namespace plumex::cli
