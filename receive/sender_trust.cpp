#include "receive/sender_trust.h"

#include "codecs/header_decode.h"
#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "protocol/address_list.h"
#include "protocol/parsed_message.h"
#include "receive/receive_texts.h"
#include "store/store_texts.h"

namespace plumex {
namespace {

bool AddressChar(unsigned char c) { return c > 0x20 && c < 0x7F && c != ';' && c != '<' && c != '>' && c != '"'; }

// Safe to stand in the one-line value: no spaces, semicolons or control characters.
std::string Clean(std::string_view address) {
  std::string out;
  for (unsigned char c : address)
    if (c > 0x20 && c != 0x7F && c != ';') out += static_cast<char>(c);
  return out;
}

std::string DomainOf(std::string_view address) {
  const size_t at = address.rfind('@');
  return at == std::string_view::npos ? std::string() : AsciiLower(address.substr(at + 1));
}

bool LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::optional<AuthVerdict> VerdictOf(std::string_view name) {
  if (name == "pass") return AuthVerdict::Pass;
  if (name == "fail") return AuthVerdict::Fail;
  if (name == "none") return AuthVerdict::None;
  return std::nullopt;
}

std::optional<SmimeStatus> SmimeOf(std::string_view name) {
  for (SmimeStatus s : {SmimeStatus::None, SmimeStatus::Trusted, SmimeStatus::Untrusted, SmimeStatus::Invalid,
                        SmimeStatus::Mismatch})
    if (name == SmimeStatusName(s)) return s;
  return std::nullopt;
}

SenderTrust Evaluate(const std::vector<std::string>& header_lines, std::string_view from_raw, std::string_view raw,
                     std::string_view trusted_authserv_id) {
  SenderTrust trust;
  const AuthResults auth = ReadAuthenticationResults(header_lines, trusted_authserv_id);
  trust.dmarc = auth.dmarc;
  trust.dkim = auth.dkim;
  trust.spf = auth.spf;
  const auto from = ParseAddressList(from_raw);
  if (!from.empty()) {
    trust.from = Clean(from.front().address);
    trust.name_address = AddressInDisplayName(DecodeHeader(from.front().name), trust.from);
  }
  trust.smime = VerifySmime(raw, trust.from).status;
  return trust;
}

// The raw value of the first field of that name in header lines (folded lines joined).
std::string FieldValue(const std::vector<std::string>& lines, std::string_view name) {
  std::string value;
  bool in = false;
  for (const auto& line : lines) {
    if (line.empty()) break;
    if (line.front() == ' ' || line.front() == '\t') {
      if (in) value += line;
      continue;
    }
    if (in) break;
    if (line.size() > name.size() && line[name.size()] == ':' && StartsWithIgnoringCase(line, 0, name)) {
      in = true;
      value = line.substr(name.size() + 1);
    }
  }
  return value;
}

}  // namespace

TrustLevel LevelOf(const SenderTrust& t) {
  const bool any_pass = t.dkim == AuthVerdict::Pass || t.spf == AuthVerdict::Pass;
  const bool auth_bad = t.dmarc == AuthVerdict::Fail ||
                        (t.dmarc == AuthVerdict::None && !any_pass && (t.dkim == AuthVerdict::Fail || t.spf == AuthVerdict::Fail));
  const bool smime_bad = t.smime == SmimeStatus::Untrusted || t.smime == SmimeStatus::Invalid || t.smime == SmimeStatus::Mismatch;
  if (auth_bad || smime_bad || !t.name_address.empty()) return TrustLevel::Warning;
  if (t.smime == SmimeStatus::Trusted || t.dmarc == AuthVerdict::Pass) return TrustLevel::Good;
  return TrustLevel::Neutral;
}

std::string AccountAuthservId(const std::filesystem::path& account_dir, std::string_view pop3_host) {
  std::vector<std::string> lines;
  if (ReadLines(account_dir / kAuthservIdFileName, lines)) {
    for (const auto& line : lines) {
      std::string id = Clean(line);
      if (!id.empty()) return AsciiLower(id);
    }
  }
  return TrustedAuthservId(pop3_host);
}

SenderTrust EvaluateSenderTrust(const ParsedMessage& message, std::string_view trusted_authserv_id) {
  return Evaluate(message.HeaderLines(), message.HeaderValue("From"), message.RawBytes(), trusted_authserv_id);
}

SenderTrust EvaluateSenderTrust(std::string_view raw, std::string_view trusted_authserv_id) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < raw.size()) {
    size_t end = raw.find('\n', pos);
    if (end == std::string_view::npos) end = raw.size();
    std::string line(raw.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    if (line.empty()) break;
    lines.push_back(std::move(line));
  }
  return Evaluate(lines, FieldValue(lines, "From"), raw, trusted_authserv_id);
}

std::string AddressInDisplayName(std::string_view name, std::string_view address) {
  // "@" or the full-width "＠" (0x81 0x97) with an address on both sides of it.
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    size_t at_len = 0;
    if (c == '@') at_len = 1;
    else if (c == 0x81 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) == 0x97) at_len = 2;
    else if (LeadByte(c)) {
      ++i;
      continue;
    }
    if (at_len == 0) continue;
    size_t start = i;
    while (start > 0 && AddressChar(static_cast<unsigned char>(name[start - 1])) &&
           !(start >= 2 && LeadByte(static_cast<unsigned char>(name[start - 2])))) --start;
    size_t end = i + at_len;
    while (end < name.size() && AddressChar(static_cast<unsigned char>(name[end]))) ++end;
    const std::string local(name.substr(start, i - start));
    std::string domain(name.substr(i + at_len, end - i - at_len));
    while (!domain.empty() && (domain.back() == '.' || domain.back() == ',' || domain.back() == ')')) domain.pop_back();
    if (local.empty() || domain.find('.') == std::string::npos) {
      i = end > i ? end - 1 : i;
      continue;
    }
    const std::string shown = local + "@" + domain;
    if (!EqualIgnoringCase(shown, address)) return Clean(shown);
    i = end - 1;
  }
  return {};
}

std::string TrustValues(const SenderTrust& t) {
  std::string v = std::string("dmarc=") + VerdictName(t.dmarc) + "; dkim=" + VerdictName(t.dkim) +
                  "; spf=" + VerdictName(t.spf) + "; smime=" + SmimeStatusName(t.smime) + "; from=" + t.from;
  if (!t.name_address.empty()) v += "; name=" + t.name_address;
  return v;
}

std::optional<SenderTrust> ParseTrustValues(std::string_view value) {
  SenderTrust t;
  int seen = 0;
  size_t pos = 0;
  while (pos < value.size()) {
    while (pos < value.size() && value[pos] == ' ') ++pos;
    size_t end = value.find(';', pos);
    std::string_view item = value.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    // The sentence after the last value starts at the first space.
    bool last = end == std::string_view::npos;
    if (const size_t space = item.find(' '); space != std::string_view::npos) {
      item = item.substr(0, space);
      last = true;
    }
    const size_t eq = item.find('=');
    if (eq != std::string_view::npos) {
      const std::string_view key = item.substr(0, eq), val = item.substr(eq + 1);
      if (key == "dmarc" || key == "dkim" || key == "spf") {
        auto v = VerdictOf(val);
        if (!v) return std::nullopt;
        (key == "dmarc" ? t.dmarc : key == "dkim" ? t.dkim : t.spf) = *v;
        ++seen;
      } else if (key == "smime") {
        auto s = SmimeOf(val);
        if (!s) return std::nullopt;
        t.smime = *s;
        ++seen;
      } else if (key == "from") {
        t.from = std::string(val);
        ++seen;
      } else if (key == "name") {
        t.name_address = std::string(val);
      }
    }
    if (last) break;
    pos = end + 1;
  }
  if (seen < 5) return std::nullopt;
  return t;
}

std::string TrustSentence(const SenderTrust& t) {
  const std::string domain = DomainOf(t.from).empty() ? Sjis(texts::kTrustUnknownDomain) : DomainOf(t.from);
  std::string s;
  const bool any_pass = t.dkim == AuthVerdict::Pass || t.spf == AuthVerdict::Pass;
  const bool any_fail = t.dkim == AuthVerdict::Fail || t.spf == AuthVerdict::Fail;
  if (t.dmarc == AuthVerdict::Pass)
    s += Sjis(texts::kTrustSenderDomain) + domain + Sjis(texts::kTrustDmarcPass);
  else if (t.dmarc == AuthVerdict::Fail)
    s += Sjis(texts::kTrustSenderDomain) + domain + Sjis(texts::kTrustDmarcFail);
  else if (any_pass)
    s += Sjis(texts::kTrustSenderDomain) + domain + Sjis(texts::kTrustNoDmarcButPass);
  else if (any_fail)
    s += Sjis(texts::kTrustSenderDomain) + domain + Sjis(texts::kTrustDkimSpfFail);
  else
    s += Sjis(texts::kTrustSenderDomain) + domain + Sjis(texts::kTrustNoResult);
  switch (t.smime) {
    case SmimeStatus::Trusted: s += Sjis(texts::kTrustSignedTrusted); break;
    case SmimeStatus::Untrusted: s += Sjis(texts::kTrustSignedUntrusted); break;
    case SmimeStatus::Invalid: s += Sjis(texts::kTrustSignatureInvalid); break;
    case SmimeStatus::Mismatch: s += Sjis(texts::kTrustSignerMismatch); break;
    case SmimeStatus::None: break;
  }
  if (!t.name_address.empty())
    s += Sjis(texts::kTrustNameAddress1) + t.name_address + Sjis(texts::kTrustNameAddress2) + t.from +
         Sjis(texts::kTrustNameAddress3);
  return s;
}

std::string TrustLine(const SenderTrust& t) {
  SenderTrust shown = t;
  shown.name_address.clear();  // the line's values end at from=; the sentence tells the rest
  return Sjis(texts::kLineSenderTrust) + " " + TrustValues(shown) + " " + TrustSentence(t);
}

std::string TrustHeaderLine(const SenderTrust& t) { return Sjis(texts::kLineSenderTrust) + TrustValues(t); }

std::string TrustLineShown(const std::string& stored_line) {
  const std::string& key = Sjis(texts::kLineSenderTrust);
  if (stored_line.compare(0, key.size(), key) != 0) return stored_line;
  const auto trust = ParseTrustValues(std::string_view(stored_line).substr(key.size()));
  return trust ? TrustLine(*trust) : stored_line;
}

std::optional<SenderTrust> StoredTrust(const std::vector<std::string>& header_lines) {
  const std::string& key = Sjis(texts::kLineSenderTrust);
  for (const auto& line : header_lines)
    if (line.compare(0, key.size(), key) == 0) return ParseTrustValues(line.substr(key.size()));
  return std::nullopt;
}

}  // namespace plumex
