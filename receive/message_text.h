// Text helpers of filing: blank-line runs and the message date.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace plumex {

class ParsedMessage;

// Deletes every run of more than max_blank empty lines that a non-empty line follows; the
// result's lines each end in CR LF.
std::string CollapseBlankRuns(std::string_view text, size_t max_blank = 5);
// The same, handed out in pieces (for writing a huge body without a second copy of it).
void CollapseBlankRuns(std::string_view text, size_t max_blank, const std::function<void(std::string_view)>& emit);

// Formats a local time: "yyyy" year, "mm" month, "dd" day, "hh" hour, "nn" minute, "ss" second,
// zero-padded; other characters are copied.
std::string FormatLocalTime(std::time_t t, std::string_view format);

// The message's date in local time; without a readable Date, the time of its first Received
// header; empty when it has neither. A Received time that cannot be read gives the current
// time, so the message is still filed.
std::string FormatMessageDate(const ParsedMessage& message, std::string_view format);

}  // namespace plumex
