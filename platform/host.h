#pragma once

#include <string>

namespace plumex {

// The computer's name ("localhost" when it cannot be read).
std::string HostName();

}  // namespace plumex
