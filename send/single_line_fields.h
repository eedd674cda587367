// Addresses and header values become SMTP commands and header lines: one with a line break
// or a NUL in it would put commands or headers of its own on the wire. They are checked
// before anything is sent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// Throws AppError (BadInput) naming the field when value holds CR, LF or NUL.
void RequireSingleLine(std::string_view field, std::string_view value);

// The same for every "key:value" line of a list (SmtpSettingList, SendHeaderList); the
// password is left out, it only ever goes out base64-encoded.
void RequireSingleLineValues(const std::vector<std::string>& key_value_lines);

}  // namespace plumex
