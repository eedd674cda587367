// A recipient must be an address: a name alone ("田中さん") would go to the server as a local
// user of its own domain, or nowhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plumex {

// The first entry of a recipient field (code page 932, entries split as the address lists
// are) that holds no address "local@domain"; nothing when every entry has one. Merge
// placeholders ("%SS1%") stand for the sheet's addresses and pass.
std::optional<std::string> RecipientWithoutAddress(std::string_view field);

}  // namespace plumex
