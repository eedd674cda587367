#include "send/send_check.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "protocol/address_list.h"
#include "send/send_texts.h"
#include "send/substitute_row.h"
#include "store/store_texts.h"

namespace plumex {
namespace {

bool DomainChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_';
}

// Semicolons stand between addresses as commas do (outside quotes).
std::string CommasForSemicolons(std::string_view field) {
  std::string out(field);
  bool quoted = false;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '"') quoted = !quoted;
    else if (out[i] == '\\' && quoted) ++i;
    else if (out[i] == ';' && !quoted) out[i] = ',';
  }
  return out;
}

std::optional<std::uintmax_t> FileSystemSize(const std::string& path_text) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(PathFromText(path_text), ec);
  if (ec) return std::nullopt;
  return size;
}

std::string FileNameOf(const std::string& path_text) {
  // Path texts are code page 932 with "/" or "\" between names; "\" can also be a trailing
  // byte of a double-byte character, so the name is taken from the native path.
  const std::string name = PathText(PathFromText(path_text).filename());
  return name.empty() ? path_text : name;
}

class Grouper {
 public:
  Grouper(SendCheck& check, const std::vector<std::string>& own) : check_(check), own_(own) {}

  // Adds every address of a field; returns how many of them are outside.
  size_t Add(const char* field, std::string_view value) {
    size_t outside = 0;
    for (const MailAddress& a : ParseAddressList(CommasForSemicolons(value))) {
      if (a.address.empty()) continue;
      SendCheck::Recipient r{field, a.Text(), a.address};
      const std::string domain = AddressDomain(a.address);
      const bool own = !domain.empty() && IsOwnDomain(domain, own_);
      auto& groups = own ? check_.internal : check_.external;
      auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.domain == domain; });
      if (it == groups.end()) it = groups.insert(groups.end(), SendCheck::DomainGroup{domain, {}});
      const bool seen = std::any_of(it->recipients.begin(), it->recipients.end(), [&](const auto& x) {
        return x.field == r.field && EqualIgnoringCase(x.address, r.address);
      });
      if (!seen) it->recipients.push_back(std::move(r));
      if (!own) ++outside;
    }
    return outside;
  }

 private:
  SendCheck& check_;
  const std::vector<std::string>& own_;
};

}  // namespace

std::string AddressDomain(std::string_view address) {
  const size_t at = address.rfind('@');
  if (at == std::string_view::npos) return {};
  std::string domain = AsciiLower(address.substr(at + 1));
  while (!domain.empty() && (domain.back() == '.' || domain.back() == '>' || domain.back() == ' ')) domain.pop_back();
  return domain;
}

bool IsOwnDomain(std::string_view domain, const std::vector<std::string>& own) {
  const std::string d = AsciiLower(domain);
  for (std::string o : own) {
    o = AsciiLower(o);
    while (!o.empty() && (o.front() == '@' || o.front() == '.')) o.erase(o.begin());
    if (o.empty()) continue;
    if (d == o) return true;
    if (d.size() > o.size() && d.compare(d.size() - o.size(), o.size(), o) == 0 && d[d.size() - o.size() - 1] == '.')
      return true;
  }
  return false;
}

std::vector<std::string> DomainsInText(std::string_view text) {
  std::vector<std::string> domains;
  for (size_t at = text.find('@'); at != std::string_view::npos; at = text.find('@', at + 1)) {
    size_t end = at + 1;
    while (end < text.size() && DomainChar(text[end])) ++end;
    std::string domain = AsciiLower(text.substr(at + 1, end - at - 1));
    while (!domain.empty() && domain.back() == '.') domain.pop_back();
    if (!domain.empty() && std::find(domains.begin(), domains.end(), domain) == domains.end())
      domains.push_back(std::move(domain));
  }
  return domains;
}

std::vector<std::string> DomainsOfStoredHeader(const std::vector<std::string>& header_lines) {
  static const std::vector<std::string> keys = {
      Sjis(texts::kLineFrom), Sjis(texts::kLineTo), "CCList:", "ReplyTo:", "To:", "From:"};
  std::string text;
  for (const auto& line : header_lines)
    for (const auto& key : keys)
      if (line.compare(0, key.size(), key) == 0) text += line.substr(key.size()) + " ";
  return DomainsInText(text);
}

std::string SizeText(std::uintmax_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  const char* units[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024.0;
  size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(units)) {
    value /= 1024.0;
    ++unit;
  }
  const long long tenths = static_cast<long long>(value * 10.0 + 0.5);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + units[unit];
}

std::string TooManyExternalText(size_t count, int limit) {
  return Sjis(texts::kTooManyExternal1) + std::to_string(count) + Sjis(texts::kTooManyExternal2) + std::to_string(limit) +
         Sjis(texts::kTooManyExternal3);
}

std::string ReplyNewDomainText(std::string_view domain) {
  return Sjis(texts::kReplyNewDomain) + std::string(domain);
}

SendCheck BuildSendCheck(const SendCheckInput& in, const FileSizeOf& size_of) {
  SendCheck check;
  check.merge = in.merge;
  Grouper grouper(check, in.own_domains);
  std::vector<std::string> attachments;
  if (in.merge) {
    // Every row is its own message: its To is the row's first cell, and placeholders in Cc,
    // Bcc and the attachments take the row's cells.
    for (size_t r = 1; r < in.merge_sheet.size(); ++r) {
      const std::string& row = in.merge_sheet[r];
      grouper.Add("To", SubstituteRow("%SS1%", row));
      grouper.Add("Cc", SubstituteRow(in.cc, row));
      grouper.Add("Bcc", SubstituteRow(in.bcc, row));
      for (const auto& a : in.attachments) {
        const std::string text = SubstituteRow(a, row);
        size_t start = 0;
        while (start <= text.size()) {
          size_t end = text.find(';', start);
          if (end == std::string::npos) end = text.size();
          std::string one = text.substr(start, end - start);
          if (!one.empty() && std::find(attachments.begin(), attachments.end(), one) == attachments.end())
            attachments.push_back(std::move(one));
          start = end + 1;
        }
      }
    }
  } else {
    const size_t outside = grouper.Add("To", in.to) + grouper.Add("Cc", in.cc);
    grouper.Add("Bcc", in.bcc);
    if (outside > static_cast<size_t>(std::max(in.external_limit, 0)))
      check.warnings.push_back(TooManyExternalText(outside, in.external_limit));
    attachments = in.attachments;
  }
  if (in.original_domains && !in.merge) {
    for (const auto& group : check.external) {
      if (group.domain.empty()) continue;
      const auto& known = *in.original_domains;
      const bool met = std::any_of(known.begin(), known.end(), [&](const std::string& d) { return EqualIgnoringCase(d, group.domain); });
      if (!met) check.warnings.push_back(ReplyNewDomainText(group.domain));
    }
  }
  for (const auto& path : attachments)
    check.attachments.push_back({path, FileNameOf(path), size_of ? size_of(path) : FileSystemSize(path)});
  return check;
}

}  // namespace plumex
