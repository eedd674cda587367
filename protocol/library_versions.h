// The versions of the libraries the mail code runs on, for "バージョン情報".
#pragma once

#include <string>

namespace plumex {

std::string GMimeVersion();    // "3.2.13"
std::string OpenSslVersion();  // "OpenSSL 3.0.11 19 Sep 2023"

}  // namespace plumex
