// The version of ICU the collation runs on, for "バージョン情報".
#pragma once

#include <string>

namespace plumex {

std::string IcuVersion();  // "72.1"

}  // namespace plumex
