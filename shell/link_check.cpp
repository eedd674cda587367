#include "shell/link_check.h"

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "shell/shell_texts.h"

namespace plumex {
namespace {

bool HostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::string WithoutWww(std::string host) {
  while (!host.empty() && host.back() == '.') host.pop_back();
  if (host.rfind("www.", 0) == 0) host.erase(0, 4);
  return host;
}

bool UnderOrSame(const std::string& a, const std::string& b) {
  return a == b || (a.size() > b.size() && a.compare(a.size() - b.size(), b.size(), b) == 0 && a[a.size() - b.size() - 1] == '.');
}

// A host name as people write one: labels of letters, digits and hyphens, at least two of
// them, the last of letters only.
bool LooksLikeHost(std::string_view host) {
  const size_t dot = host.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 2 > host.size()) return false;
  for (char c : host.substr(dot + 1))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  for (char c : host)
    if (!HostChar(c)) return false;
  return host.find("..") == std::string_view::npos;
}

std::string HostOfWord(std::string_view word) {
  if (word.find("://") != std::string_view::npos) return HostOfUrl(word);
  if (word.find('@') != std::string_view::npos) return {};
  size_t end = 0;
  while (end < word.size() && HostChar(word[end])) ++end;
  std::string_view host = word.substr(0, end);
  while (!host.empty() && host.back() == '.') host.remove_suffix(1);
  if (end < word.size() && word[end] != '/' && word[end] != ':' && word[end] != '?' && word[end] != '#') return {};
  return LooksLikeHost(host) ? AsciiLower(host) : std::string();
}

std::string Ascii(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : ' ';
  return out;
}

}  // namespace

std::string HostOfUrl(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view rest = url.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#\\"));
  if (const size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
  if (!rest.empty() && rest.front() == '[') return AsciiLower(rest.substr(0, rest.find(']') + 1));
  rest = rest.substr(0, rest.find(':'));
  std::string host = AsciiLower(rest);
  while (!host.empty() && host.back() == '.') host.pop_back();
  return host;
}

std::string HostShownBy(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\r' && text[end] != '\n') ++end;
    std::string_view word = text.substr(i, end - i);
    while (!word.empty() && (word.front() == '<' || word.front() == '(' || word.front() == '[' || word.front() == '"'))
      word.remove_prefix(1);
    if (std::string host = HostOfWord(word); !host.empty()) return host;
    i = end;
  }
  return {};
}

bool IsDeceptiveLink(std::string_view text, std::string_view target) {
  const std::string shown = WithoutWww(HostShownBy(text));
  if (shown.empty()) return false;
  const std::string real = WithoutWww(HostOfUrl(target));
  if (real.empty()) return true;  // shows a web address but leads to no host at all
  return !UnderOrSame(real, shown) && !UnderOrSame(shown, real);
}

std::string DeceptiveHostBefore(std::u16string_view body, size_t link_start, std::string_view link) {
  if (link_start > body.size()) return {};
  size_t line_start = body.rfind(u'\n', link_start == 0 ? 0 : link_start - 1);
  line_start = line_start == std::u16string_view::npos || link_start == 0 ? 0 : line_start + 1;
  std::string before = Ascii(body.substr(line_start, link_start - line_start));
  // "shown <link>", "shown (link)", "shown [link]", "shown: link"
  while (!before.empty() && (before.back() == ' ' || before.back() == '<' || before.back() == '(' ||
                             before.back() == '[' || before.back() == ':' || before.back() == '\t'))
    before.pop_back();
  const size_t word_start = before.find_last_of(" \t<([\"");
  const std::string word = before.substr(word_start == std::string::npos ? 0 : word_start + 1);
  if (word.empty() || !IsDeceptiveLink(word, link)) return {};
  return HostShownBy(word);
}

std::vector<TextRange> DeceptiveLinkRanges(std::u16string_view body) {
  std::vector<TextRange> ranges;
  for (size_t start = body.find(u"http"); start != std::u16string_view::npos; start = body.find(u"http", start + 1)) {
    const bool link = body.substr(start, 7) == u"http://" || body.substr(start, 8) == u"https://";
    if (!link || (start > 0 && IsLinkChar(body[start - 1]))) continue;
    size_t end = start;
    while (end < body.size() && end - start < kMaxLinkChars && IsLinkChar(body[end])) ++end;
    const std::string url = Ascii(body.substr(start, end - start));
    if (!DeceptiveHostBefore(body, start, url).empty()) ranges.push_back({start, end - start});
    start = end > start ? end - 1 : start;
  }
  return ranges;
}

std::string DeceptiveLinkQuestion(std::string_view shown_host, std::string_view target) {
  return Sjis(texts::kDeceptiveLink1) + "\r\n\r\n" + Sjis(texts::kDeceptiveLinkShown) +
         std::string(shown_host) + "\r\n" + Sjis(texts::kDeceptiveLinkTarget) + std::string(target) + "\r\n\r\n" +
         Sjis(texts::kDeceptiveLink2);
}

}  // namespace plumex
