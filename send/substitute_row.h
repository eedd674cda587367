// Mail merge placeholders: "%SS" + column number + "%" stands for a cell of the sheet's row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// The cells of a sheet row, split at every "," (no quoting; empty cells count).
std::vector<std::string> SplitSheetRow(std::string_view row);

// SubstituteRow: for k = 1..n in order, every "%SS<k>%" (any letter case) becomes cell k.
std::string SubstituteRow(std::string_view text, std::string_view row);

}  // namespace plumex
