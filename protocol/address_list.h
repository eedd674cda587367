// Address lists of header values, split without decoding anything: display names keep their
// encoded words as they stand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

struct MailAddress {
  std::string name;     // display name, raw, without surrounding quotes
  std::string address;  // addr-spec, without angle brackets
  // "name <address>" (name quoted when it holds special characters), or the address alone.
  std::string Text() const;
};

// Splits at commas that stand outside quotes, angle brackets and comments. Groups
// ("name: a, b;") give their member addresses. Empty items are dropped.
std::vector<MailAddress> ParseAddressList(std::string_view value);

}  // namespace plumex
