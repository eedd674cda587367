// Status texts of the connections (code page 932).
#pragma once

#include <string>

namespace plumex {

std::string StatusConnecting(const std::string& host, int port);
std::string StatusConnected();
std::string StatusDisconnected();

}  // namespace plumex
