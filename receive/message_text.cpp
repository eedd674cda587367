#include "receive/message_text.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "codecs/header_decode.h"
#include "text/ascii_case.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "protocol/mail_date.h"
#include "protocol/parsed_message.h"

namespace plumex {

void CollapseBlankRuns(std::string_view text, size_t max_blank, const std::function<void(std::string_view)>& emit) {
  // One pass over the text, no copy of it: a huge body is filed at the cost of its own size.
  // Lines end at CR LF, CR or LF. Stretches of lines that pass unchanged (non-empty, ending in
  // CR LF) are handed out whole; empty lines are held back until a non-empty line shows
  // whether their run is kept.
  static constexpr std::string_view kBreak = "\r\n";
  size_t span_begin = 0, span_end = 0;  // unchanged text not handed out yet
  size_t held = 0;
  auto flush_span = [&] {
    if (span_end > span_begin) emit(text.substr(span_begin, span_end - span_begin));
    span_begin = span_end;
  };
  ForEachLine(text, [&](std::string_view line, std::string_view line_end) {
    const size_t begin = static_cast<size_t>(line.data() - text.data());
    if (line.empty()) {
      ++held;
      return;
    }
    if (held > 0) {
      flush_span();
      if (held <= max_blank)
        for (; held > 0; --held) emit(kBreak);
      held = 0;
    }
    const size_t next = begin + line.size() + line_end.size();
    if (span_end != begin) {
      flush_span();
      span_begin = span_end = begin;
    }
    if (line_end == kBreak) {
      span_end = next;
      return;
    }
    flush_span();
    emit(line);
    emit(kBreak);
    span_begin = span_end = next;
  });
  flush_span();
  for (; held > 0; --held) emit(kBreak);  // a run at the end is kept
}

std::string CollapseBlankRuns(std::string_view text, size_t max_blank) {
  std::string out;
  out.reserve(text.size() + 2);
  CollapseBlankRuns(text, max_blank, [&](std::string_view piece) { out += piece; });
  return out;
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

MainHeaderValues DecodeMainHeaders(const ParsedMessage& message, const std::string& charset,
                                   const HeaderDecoder& decode) {
  MainHeaderValues values{decode(message.HeaderValue("To"), charset), decode(message.HeaderValue("Subject"), charset),
                          decode(message.HeaderValue("From"), charset)};
  std::erase_if(values.from, [](char c) { return c == '\r' || c == '\n'; });
  return values;
}

std::string DecodeBodyParts(const ParsedMessage& message, const std::string& charset, const BodyDecoder& decode,
                            const std::function<void(const MessagePart&)>& attachment) {
  if (!message.HasParts()) return decode(charset, message.BodyText());
  std::string body;
  for (const auto& part : message.Parts()) {
    if (part.IsAttachment()) {
      attachment(part);
    } else if (part.IsText()) {
      std::string part_charset = part.Charset();
      if (part_charset.empty()) part_charset = charset;
      if (part_charset.empty()) {
        size_t start = 0;
        part_charset = FindHeaderValue("charset", message.HeaderLines(), false, start);
      }
      if (!body.empty()) body += "\r\n";
      body += decode(AsciiUpper(part_charset), part.Text());
    }
  }
  return body;
}

}  // namespace plumex
