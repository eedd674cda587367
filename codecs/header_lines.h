// Looking up a keyword's value in a list of header lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// Searches lines[index] onwards, within the first 50 lines only, for `key` (ASCII letters in
// any case, double-byte characters not split; with `at_line_start` only at the start of a line).
// The value is what follows the key and the one character after it (":" or "="), plus the
// continuation lines that begin with a space or tab (each trimmed) unless it ends with ";".
// `index` ends just past the last line used, or at the end of the 50 when nothing matched.
// An empty key finds the first empty line (the end of a header) and gives "".
// When `index` is already at or past the end, nothing is searched: "" and `index` unchanged.
std::string FindHeaderValue(std::string_view key, const std::vector<std::string>& lines, bool at_line_start,
                            std::size_t& index);

}  // namespace plumex
