#include "shell/html_page.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "text/ascii_case.h"
#include "text/code_page.h"

namespace plumex {

std::string HtmlPageOf(std::string_view body) {
  const std::string lower = AsciiLower(body);
  size_t start = lower.find("<html");
  if (start == std::string::npos) return "<html>" + std::string(body) + "</html>";
  size_t close = lower.find("</html>", start);
  size_t stop = close == std::string::npos ? body.size() : close + 7;
  return std::string(body.substr(start, stop - start));
}

namespace {

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The tags whose end (or, for <br> and <p>, the tag itself) breaks a line.
bool BreaksLine(std::string_view name) {
  static const char* const kNames[] = {"br", "p", "/p", "div", "/div", "/tr", "/li", "li", "/h1", "/h2", "/h3",
                                       "/h4", "/h5", "/h6", "/table", "/blockquote", "hr", "/title"};
  for (const char* n : kNames)
    if (name == n) return true;
  return false;
}

// A character reference to code page 932 text; empty when it is none we read.
std::string EntityText(std::string_view entity) {
  static const std::pair<const char*, const char*> kNamed[] = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}, {"copy", "(c)"}};
  for (const auto& [name, text] : kNamed)
    if (AsciiLower(entity) == name) return text;
  if (entity.size() < 2 || entity[0] != '#') return {};
  const bool hex = entity[1] == 'x' || entity[1] == 'X';
  const std::string digits(entity.substr(hex ? 2 : 1));
  if (digits.empty() || digits.size() > 7) return {};
  char* end = nullptr;
  const unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
  if (*end != '\0' || cp == 0 || cp > 0x10FFFF) return {};
  return UnicodeToCp932FromJisMapping(std::u32string(1, static_cast<char32_t>(cp)));
}

// Readable text of an HTML page: one pass over it, so any page costs linear time.
std::string HtmlToText(std::string_view html) {
  const std::string lower = AsciiLower(html);
  std::string out;
  bool pending_space = false;
  auto new_line = [&] {
    if (out.empty()) return;  // no blank line before the first text
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out += "\r\n";
    pending_space = false;
  };
  size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<') {
      const size_t close = html.find('>', i);
      if (close == std::string_view::npos) break;
      size_t name_end = i + 1;
      while (name_end < close && !IsBlankByte(html[name_end]) && html[name_end] != '/') ++name_end;
      if (name_end == i + 1 && name_end < close && html[name_end] == '/') {
        ++name_end;
        while (name_end < close && !IsBlankByte(html[name_end])) ++name_end;
      }
      const std::string name = lower.substr(i + 1, name_end - i - 1);
      i = close + 1;
      // Content that is no text: skipped whole.
      for (const char* skipped : {"script", "style", "head"}) {
        if (name == skipped) {
          const size_t end = lower.find(std::string("</") + skipped, i);
          i = end == std::string::npos ? html.size() : lower.find('>', end) + 1;
          if (i == 0) i = html.size();
        }
      }
      if (BreaksLine(name)) new_line();
      continue;
    }
    if (c == '&') {
      const size_t semi = html.substr(0, std::min(html.size(), i + 12)).find(';', i);  // a short look only
      if (semi != std::string_view::npos) {
        const std::string text = EntityText(html.substr(i + 1, semi - i - 1));
        if (!text.empty()) {
          if (pending_space) out += ' ';
          pending_space = false;
          out += text;
          i = semi + 1;
          continue;
        }
      }
    }
    if (IsBlankByte(c)) {
      if (!out.empty() && out.back() != '\n') pending_space = true;
      ++i;
      continue;
    }
    if (pending_space) out += ' ';
    pending_space = false;
    out += c;
    ++i;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out + "\r\n";
}

}  // namespace

std::optional<size_t> HtmlPartStart(std::string_view body) {
  const std::string lower = AsciiLower(body);
  auto starts_page = [&lower](size_t at) {
    return lower.compare(at, 5, "<html") == 0 || lower.compare(at, 14, "<!doctype html") == 0;
  };
  // Where the stored text ends in "</html>" (blanks after it do not count).
  size_t end = lower.size();
  while (end > 0 && IsBlankByte(lower[end - 1])) --end;
  const bool ends_page = end >= 7 && lower.compare(end - 7, 7, "</html>") == 0;
  // The page filing appended after the text part begins a line of its own and runs to the end;
  // a page quoted inside the text (more text after it, or not on a line of its own) is text.
  std::optional<size_t> found;
  std::optional<size_t> previous_line_page;  // a "<!DOCTYPE html>" line just before
  size_t line = 0;
  while (ends_page && line < end) {
    size_t at = line;
    while (at < end && (lower[at] == ' ' || lower[at] == '\t')) ++at;
    if (starts_page(at)) {
      found = previous_line_page && lower.compare(*previous_line_page, 14, "<!doctype html") == 0
                  ? previous_line_page
                  : std::optional<size_t>(at);
      previous_line_page = at;
    } else if (at < end && lower[at] != '\r' && lower[at] != '\n') {
      previous_line_page.reset();  // a line of text in between
    }
    const size_t next = lower.find('\n', line);
    if (next == std::string::npos) break;
    line = next + 1;
  }
  if (found) return found;
  // An HTML-only body, even one cut short of its "</html>".
  size_t first = 0;
  while (first < lower.size() && IsBlankByte(lower[first])) ++first;
  if (first < lower.size() && starts_page(first)) return first;
  return std::nullopt;
}

std::string TextViewOf(std::string_view body) {
  const std::optional<size_t> start = HtmlPartStart(body);
  if (!start) return std::string(body);
  std::string_view before = body.substr(0, *start);
  bool has_text = false;
  for (char c : before) has_text = has_text || !IsBlankByte(c);
  if (!has_text) return HtmlToText(body.substr(*start));
  // The text part, without the blank lines that stood before the HTML source.
  while (!before.empty() && IsBlankByte(before.back())) before.remove_suffix(1);
  return std::string(before) + "\r\n";
}

}  // namespace plumex
