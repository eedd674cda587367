#include "receive/message_text.h"

#include <vector>

#include "platform/clock.h"
#include "platform/text_file.h"
#include "protocol/mail_date.h"
#include "protocol/parsed_message.h"

namespace plumex {

std::string CollapseBlankRuns(std::string_view text, size_t max_blank) {
  std::vector<std::string> lines = SplitLines(text);
  std::vector<std::string> kept;
  kept.reserve(lines.size());
  size_t i = 0;
  while (i < lines.size()) {
    if (!lines[i].empty()) {
      kept.push_back(std::move(lines[i++]));
      continue;
    }
    size_t end = i;
    while (end < lines.size() && lines[end].empty()) ++end;
    const bool followed = end < lines.size();
    if (!followed || end - i <= max_blank) kept.insert(kept.end(), end - i, std::string());
    i = end;
  }
  return JoinLines(kept);
}

std::string FormatLocalTime(std::time_t t, std::string_view format) {
  LocalDateTime d = ToLocal(t);
  std::string out;
  for (size_t i = 0; i < format.size();) {
    std::string_view rest = format.substr(i);
    if (rest.substr(0, 4) == "yyyy") {
      out += Pad4(d.year);
      i += 4;
    } else if (rest.substr(0, 2) == "mm") {
      out += Pad2(d.month);
      i += 2;
    } else if (rest.substr(0, 2) == "dd") {
      out += Pad2(d.day);
      i += 2;
    } else if (rest.substr(0, 2) == "hh") {
      out += Pad2(d.hour);
      i += 2;
    } else if (rest.substr(0, 2) == "nn") {
      out += Pad2(d.minute);
      i += 2;
    } else if (rest.substr(0, 2) == "ss") {
      out += Pad2(d.second);
      i += 2;
    } else {
      out += format[i++];
    }
  }
  return out;
}

std::string FormatMessageDate(const ParsedMessage& message, std::string_view format) {
  if (std::time_t date = message.Date(); date != 0) return FormatLocalTime(date, format);
  std::string received = message.HeaderValue("Received");
  if (received.empty()) return {};
  size_t semicolon = received.find(';');
  std::string_view rest(received);
  rest.remove_prefix(semicolon == std::string::npos ? 1 : std::min(rest.size(), semicolon + 2));
  if (!rest.empty() && rest.front() == ',') return FormatLocalTime(NowSeconds(), format);
  std::time_t t = ParseMailDate(rest);
  return FormatLocalTime(t != 0 ? t : NowSeconds(), format);
}

}  // namespace plumex
