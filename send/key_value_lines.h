// Lists of lines "key:value", split at the first colon; keys are compared exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// Value of the first line whose key is `key`; empty when there is none.
std::string ValueOf(const std::vector<std::string>& lines, std::string_view key);
bool HasKey(const std::vector<std::string>& lines, std::string_view key);

}  // namespace plumex
