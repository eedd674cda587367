// The system's reason for a failed file or network operation, in Japanese: the C library's
// texts ("No such file or directory", "Connection refused") are English whatever the locale.
#pragma once

#include <string>
#include <system_error>

namespace plumex {

// Code page 932. Reasons without a text of our own keep the system's text and number.
std::string SystemErrorText(const std::error_code& code);

}  // namespace plumex
