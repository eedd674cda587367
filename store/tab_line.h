// Records are lines of TAB-separated fields, without quoting or escaping.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// The text between the n-th and the (n+1)-th TAB (0-based); the whole line for field 0 of a
// line without TAB; empty when the line has fewer fields. FieldView is the same text as a
// view into line, for loops over many rows that keep no copy.
std::string_view FieldView(std::string_view line, size_t n);
inline std::string FieldOf(std::string_view line, size_t n) { return std::string(FieldView(line, n)); }

std::vector<std::string> SplitTabLine(std::string_view line);
// The pieces of text between the separators (empty pieces count).
std::vector<std::string> SplitAt(std::string_view text, char separator);
std::string JoinTabLine(const std::vector<std::string>& fields);

// Number of fields (TABs + 1).
size_t FieldCount(std::string_view line);

}  // namespace plumex
