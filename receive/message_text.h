// Text helpers of filing: blank-line runs, the message date, and the reading of a message's
// header values and body that filing and the texts as sent share.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace plumex {

class MessagePart;
class ParsedMessage;

// The date format of the store's "日時" values.
inline constexpr std::string_view kReceivedDateFormat = "yyyy/mm/dd_hh:nn:ss";

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

// A header value's decoder (raw value, the message's charset) and a body text's (charset,
// text): the store's code page 932 ones, or the UTF-8 ones that show a message as sent.
using HeaderDecoder = std::function<std::string(std::string_view raw, const std::string& charset)>;
using BodyDecoder = std::function<std::string(const std::string& charset, std::string_view text)>;

// To, Subject and From decoded; From on one line.
struct MainHeaderValues {
  std::string to, subject, from;
};
MainHeaderValues DecodeMainHeaders(const ParsedMessage& message, const std::string& charset,
                                   const HeaderDecoder& decode);

// The body as the message file holds it before its blank runs are shortened: every text part
// decoded with its own charset, else the message's, else the first "charset" parameter of the
// header (upper-cased), the parts joined by CR LF; a message without parts, its body. Each
// attachment part goes to `attachment`, in order.
std::string DecodeBodyParts(const ParsedMessage& message, const std::string& charset, const BodyDecoder& decode,
                            const std::function<void(const MessagePart&)>& attachment);

}  // namespace plumex
