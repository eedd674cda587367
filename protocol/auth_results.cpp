#include "protocol/auth_results.h"

#include "text/ascii_case.h"

namespace plumex {
namespace {

// The value without its comments (nested, quoted strings and escapes respected).
std::string WithoutComments(std::string_view value) {
  std::string out;
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && (quoted || depth > 0) && i + 1 < value.size()) {
      if (depth == 0) {
        out += c;
        out += value[i + 1];
      }
      ++i;
    } else if (quoted) {
      out += c;
      if (c == '"') quoted = false;
    } else if (depth > 0) {
      if (c == '(') ++depth;
      else if (c == ')') --depth;
    } else if (c == '(') {
      depth = 1;
      out += ' ';
    } else {
      if (c == '"') quoted = true;
      out += c;
    }
  }
  return out;
}

bool Space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && Space(s.front())) s.remove_prefix(1);
  while (!s.empty() && Space(s.back())) s.remove_suffix(1);
  return s;
}

// Splits at semicolons outside quoted strings.
std::vector<std::string_view> SplitSemicolons(std::string_view s) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && quoted) ++i;
    else if (s[i] == '"') quoted = !quoted;
    else if (s[i] == ';' && !quoted) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(s.substr(start));
  return parts;
}

std::string Unquoted(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
    std::string out;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
      if (s[i] == '\\' && i + 2 < s.size()) ++i;
      out += s[i];
    }
    return out;
  }
  return std::string(s);
}

bool IsIpLiteral(std::string_view host) {
  if (host.find(':') != std::string_view::npos || host.find('[') != std::string_view::npos) return true;
  for (char c : host)
    if (!(c >= '0' && c <= '9') && c != '.') return false;
  return !host.empty();
}

void Merge(AuthVerdict& into, std::string_view result) {
  if (result == "pass") into = AuthVerdict::Pass;
  else if (result == "fail" && into != AuthVerdict::Pass) into = AuthVerdict::Fail;
}

bool IsField(std::string_view line, std::string_view name) {
  return line.size() > name.size() && line[name.size()] == ':' && StartsWithIgnoringCase(line, 0, name);
}

}  // namespace

const char* VerdictName(AuthVerdict verdict) {
  switch (verdict) {
    case AuthVerdict::Pass: return "pass";
    case AuthVerdict::Fail: return "fail";
    case AuthVerdict::None: break;
  }
  return "none";
}

std::string TrustedAuthservId(std::string_view pop3_host) {
  std::string host = AsciiLower(Trim(pop3_host));
  while (!host.empty() && host.back() == '.') host.pop_back();
  if (host.empty() || IsIpLiteral(host)) return {};
  const size_t dot = host.find('.');
  if (dot == std::string::npos) return host;
  const std::string rest = host.substr(dot + 1);
  return rest.find('.') == std::string::npos ? host : rest;
}

bool IsTrustedAuthservId(std::string_view id, std::string_view trusted) {
  if (trusted.empty() || id.empty()) return false;
  const std::string i = AsciiLower(id);
  const std::string t = AsciiLower(trusted);
  if (i == t) return true;
  return i.size() > t.size() && i.compare(i.size() - t.size(), t.size(), t) == 0 && i[i.size() - t.size() - 1] == '.';
}

AuthResultsField ParseAuthResultsField(std::string_view value) {
  AuthResultsField field;
  const std::string clean = WithoutComments(value);
  const auto parts = SplitSemicolons(clean);
  // authserv-id [version]
  std::string_view head = Trim(parts.front());
  size_t end = 0;
  if (!head.empty() && head.front() == '"') {
    end = 1;
    while (end < head.size() && head[end] != '"') end += head[end] == '\\' ? 2 : 1;
    end = std::min(end + 1, head.size());
  } else {
    while (end < head.size() && !Space(head[end])) ++end;
  }
  field.authserv_id = Unquoted(head.substr(0, end));
  for (size_t k = 1; k < parts.size(); ++k) {
    std::string_view part = Trim(parts[k]);
    const size_t eq = part.find('=');
    if (eq == std::string_view::npos) continue;  // "none": no results
    std::string method = AsciiLower(Trim(part.substr(0, eq)));
    if (const size_t slash = method.find('/'); slash != std::string::npos) method = std::string(Trim(method.substr(0, slash)));
    std::string_view rest = Trim(part.substr(eq + 1));
    size_t r = 0;
    while (r < rest.size() && !Space(rest[r])) ++r;
    field.results.push_back({method, AsciiLower(rest.substr(0, r))});
  }
  return field;
}

AuthResults ReadAuthenticationResults(const std::vector<std::string>& header_lines, std::string_view trusted_id) {
  // Unfold: a line starting with a space or TAB continues the field before it.
  std::vector<std::string> fields;
  for (const auto& line : header_lines) {
    if (line.empty()) break;
    if ((line.front() == ' ' || line.front() == '\t') && !fields.empty()) fields.back() += line;
    else fields.push_back(line);
  }
  AuthResults out;
  for (const auto& f : fields) {
    if (!IsField(f, "Authentication-Results")) continue;
    const AuthResultsField parsed = ParseAuthResultsField(std::string_view(f).substr(sizeof("Authentication-Results")));
    if (!IsTrustedAuthservId(parsed.authserv_id, trusted_id)) continue;
    out.found = true;
    for (const auto& r : parsed.results) {
      if (r.method == "dmarc") Merge(out.dmarc, r.result);
      else if (r.method == "dkim") Merge(out.dkim, r.result);
      else if (r.method == "spf") Merge(out.spf, r.result);
    }
    break;  // the topmost field of the trusted id is the provider's; anything below is not
  }
  return out;
}

}  // namespace plumex
