#include "shell/mailto_address.h"

#include "text/ascii_case.h"
#include "text/code_page.h"
#include "shell/compose.h"

namespace plumex {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentDecoded(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

namespace {

// Percent-decoded UTF-8, as code page 932.
std::string Decode(std::string_view text) { return Utf8ToCp932(PercentDecoded(text)); }

void Append(std::string& list, const std::string& more) {
  if (more.empty()) return;
  if (!list.empty()) list += ",";
  list += more;
}

}  // namespace

std::optional<MailtoFields> ParseMailto(std::string_view url) {
  constexpr std::string_view kScheme = "mailto:";
  if (url.size() < kScheme.size() || !EqualIgnoringCase(url.substr(0, kScheme.size()), kScheme)) return std::nullopt;
  url.remove_prefix(kScheme.size());
  MailtoFields fields;
  const size_t question = url.find('?');
  Append(fields.to, Decode(url.substr(0, question)));
  if (question == std::string_view::npos) return fields;
  std::string_view query = url.substr(question + 1);
  std::string body;
  bool has_body = false;
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    const size_t eq = pair.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = pair.substr(0, eq);
    const std::string value = Decode(pair.substr(eq + 1));
    if (EqualIgnoringCase(name, "to")) Append(fields.to, value);
    else if (EqualIgnoringCase(name, "cc")) Append(fields.cc, value);
    else if (EqualIgnoringCase(name, "bcc")) Append(fields.bcc, value);
    else if (EqualIgnoringCase(name, "subject")) fields.subject = value;
    else if (EqualIgnoringCase(name, "body")) {
      body = value;
      has_body = true;
    }
  }
  if (has_body && !body.empty()) {
    std::string lf;  // CR LF, CR and LF all end a line
    for (size_t i = 0; i < body.size(); ++i) {
      if (body[i] == '\r') {
        lf += '\n';
        if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
      } else {
        lf += body[i];
      }
    }
    size_t start = 0;
    while (start <= lf.size()) {
      const size_t end = lf.find('\n', start);
      fields.body.push_back(lf.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  return fields;
}

void ComposeFromMailto(ComposeCommands& compose, UiPort& ui, const MailtoFields& fields) {
  if (!compose.NewMail()) return;
  ComposeContent& c = compose.Content();
  c.to = fields.to;
  c.cc = fields.cc;
  c.bcc = fields.bcc;
  c.subject = fields.subject;
  c.body.insert(c.body.begin(), fields.body.begin(), fields.body.end());
  ui.ShowComposeWindow();
}

}  // namespace plumex
