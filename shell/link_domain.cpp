#include "shell/link_domain.h"

#include "text/ascii_case.h"

namespace plumex {
namespace {

bool IsHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// The host at the start of text (after "scheme://" and user info), or nothing.
std::optional<std::string> LeadingHost(std::string_view text) {
  const size_t end = text.find_first_of("/?#");
  std::string_view authority = text.substr(0, end);
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  if (const size_t colon = authority.find(':'); colon != std::string_view::npos) authority = authority.substr(0, colon);
  while (!authority.empty() && authority.back() == '.') authority.remove_suffix(1);
  if (authority.empty()) return std::nullopt;
  for (char c : authority)
    if (!IsHostChar(c)) return std::nullopt;
  return AsciiLower(authority);
}

std::string_view WithoutWww(std::string_view host) {
  if (host.substr(0, 4) == "www.") host.remove_prefix(4);
  return host;
}

bool SameOrSubdomain(std::string_view host, std::string_view domain) {
  return host == domain ||
         (host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain &&
          host[host.size() - domain.size() - 1] == '.');
}

}  // namespace

std::optional<std::string> HostOfAddress(std::string_view address) {
  address = Trimmed(address);
  const size_t scheme_end = address.find("://");
  if (scheme_end == std::string_view::npos || scheme_end == 0) return std::nullopt;
  return LeadingHost(address.substr(scheme_end + 3));
}

std::optional<std::string> DomainShownBy(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  if (text.find("://") != std::string_view::npos) return HostOfAddress(text);
  // A bare host name: no blank inside, a dot between letters.
  for (char c : text)
    if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
  std::optional<std::string> host = LeadingHost(text);
  if (!host || host->find('.') == std::string::npos || host->front() == '.') return std::nullopt;
  // "1.5" or "v2.0" are no domains: the last label must hold a letter.
  const std::string last = host->substr(host->rfind('.') + 1);
  bool letter = false;
  for (char c : last) letter = letter || (c >= 'a' && c <= 'z');
  if (!letter) return std::nullopt;
  return host;
}

bool ShowsAnotherDomain(std::string_view text, std::string_view address) {
  const std::optional<std::string> shown = DomainShownBy(text);
  if (!shown) return false;
  const std::optional<std::string> target = HostOfAddress(address);
  if (!target) return true;  // a domain is shown, but the address leads to no host at all
  const std::string_view a = WithoutWww(*shown), b = WithoutWww(*target);
  return !SameOrSubdomain(a, b) && !SameOrSubdomain(b, a);
}

}  // namespace plumex
