#include "receive/server_mailbox.h"

#include <algorithm>
#include <map>

#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "text/ascii_case.h"
#include "text/sjis_search.h"
#include "text/sjis_text.h"
#include "port/error_text.h"
#include "protocol/address_list.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/message_text.h"
#include "settings/rule_lines.h"
#include "receive/receive_texts.h"
#include "settings/settings_texts.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A header decoded for showing; a value the decoders cannot take is shown as it came.
std::string Decoded(std::string_view raw, const std::string& charset) {
  try {
    return DecodeHeader(raw, charset);
  } catch (const std::exception&) {
    return ConvertCode(raw, CodeSjis);
  }
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// "name <address>" whose name is the address itself shows the address once.
std::string WithoutRepeatedAddress(const std::string& sender) {
  const size_t open = sender.find('<');
  if (open == std::string::npos) return sender;
  const size_t close = sender.find('>', open);
  if (close == std::string::npos) return sender;
  std::string name = Trimmed(std::string_view(sender).substr(0, open));
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
  const std::string address = sender.substr(open + 1, close - open - 1);
  return name == address ? address : sender;
}

void Collect(std::vector<std::string>& out, const std::string& keyword) {
  if (!keyword.empty()) out.push_back(keyword);
}

bool ContainsAny(std::string_view text, const std::vector<std::string>& keywords) {
  return std::any_of(keywords.begin(), keywords.end(), [&](const std::string& k) { return ContainsSjis(text, k); });
}

}  // namespace

std::string ServerOfReceived(std::string_view received) {
  // "by" counts as the word only: not inside "ruby.example" or "standby".
  for (size_t at = received.find("by"); at != std::string_view::npos; at = received.find("by", at + 1)) {
    const bool starts_word = at == 0 || IsSpace(received[at - 1]) || received[at - 1] == '(' || received[at - 1] == ';';
    const bool ends_word = at + 2 < received.size() && IsSpace(received[at + 2]);
    if (!starts_word || !ends_word) continue;
    size_t begin = at + 2;
    while (begin < received.size() && IsSpace(received[begin])) ++begin;
    size_t end = begin;
    while (end < received.size() && !IsSpace(received[end]) && received[end] != ';' && received[end] != ')') ++end;
    return std::string(received.substr(begin, end - begin));
  }
  return std::string(received);
}

std::string ServerOfMessage(const ParsedMessage& message) {
  if (!message.HasHeader("Received")) return {};
  return ServerOfReceived(message.HeaderValue("Received"));
}

CandidateTest::CandidateTest(const RuleList& rules, const std::vector<std::string>& servers) {
  for (const auto& line : rules.Lines()) {
    const RuleLine rule = ParseRuleLine(line);
    if (rule.target != RejectTarget()) continue;
    if (rule.field == Sjis(texts::kRuleFieldSubject)) Collect(subject_keywords_, rule.text);
    else if (rule.field == Sjis(texts::kRuleFieldFrom)) Collect(sender_keywords_, rule.text);
  }
  for (const auto& s : servers)
    if (!s.empty()) servers_.insert(FoldCase(s));
}

bool CandidateTest::IsCandidate(std::string_view subject_decoded_once, std::string_view sender,
                                std::string_view server) const {
  if (ContainsAny(subject_decoded_once, subject_keywords_)) return true;
  if (ContainsAny(sender, sender_keywords_)) return true;
  return !server.empty() && servers_.contains(FoldCase(server));
}

ServerMessage DescribeServerMessage(const ParsedMessage& message, int number, const CandidateTest& candidates) {
  ServerMessage m;
  m.number = number;
  const std::string charset = message.Charset();
  const std::string subject_once = Decoded(message.HeaderValue("Subject"), charset);
  // Decoded text is code page 932 already: a second pass is for a subject that still holds an
  // encoded word (one encoded twice); on other text it would read the CP932 bytes (such as
  // those of "髙") as raw header bytes once more and garble them.
  m.subject = subject_once.find("=?") == std::string::npos ? subject_once : Decoded(subject_once, charset);
  std::string sender = Decoded(message.HeaderValue("From"), charset);
  if (sender.empty()) {
    auto from = ParseAddressList(message.HeaderValue("From"));
    if (!from.empty()) sender = from.front().Text();
  }
  m.sender = WithoutRepeatedAddress(sender);
  m.date = FormatMessageDate(message, "yyyy/mm/dd_hh:nn:ss");
  m.message_id = message.MessageId();
  m.server = ServerOfMessage(message);
  m.attachment = ContainsIgnoringCase(message.HeaderValue("Content-Type"), "multipart/mixed");
  const MessagePriority priority = message.Priority();
  m.high_priority = priority == MessagePriority::Highest || priority == MessagePriority::High;
  m.candidate = candidates.IsCandidate(subject_once, m.sender, m.server);
  return m;
}

ServerListing ListServerMailbox(Pop3Client& pop3, const CandidateTest& candidates, UiPort& ui,
                                const bool& stop_requested,
                                const std::function<void(const ServerMessage&)>& on_row) {
  ServerListing listing;
  ParsedMessage message;
  try {
    listing.count = pop3.Stat();
    if (listing.count == 0) return listing;
    const std::vector<std::string> uidls = pop3.UidlAll().value_or(std::vector<std::string>{});
    const std::vector<long long> sizes = pop3.ListAll();
    listing.messages.reserve(static_cast<size_t>(listing.count));
    pop3.TopEach(1, listing.count, message, [&](int n) {
      ServerMessage row = DescribeServerMessage(message, n, candidates);
      const auto k = static_cast<size_t>(n);
      if (k < uidls.size()) row.uidl = uidls[k];
      row.size = k < sizes.size() ? sizes[k] : -1;
      listing.messages.push_back(std::move(row));
      if (on_row) on_row(listing.messages.back());
      if (n < listing.count) {
        ui.SetProgress(n, listing.count);
        ui.Pump();
      }
      message.Clear();
      if (stop_requested) listing.stopped = true;
      return !listing.stopped && pop3.IsConnected();
    });
  } catch (const std::exception& e) {
    AppError error = AsAppError(e);
    if (stop_requested || error.kind() == ErrorKind::Stopped) listing.stopped = true;
    else listing.error = std::move(error);
    QuietDisconnect(pop3);
  }
  ui.SetProgress(0, 0);
  return listing;
}

std::vector<std::optional<int>> LocateListed(Pop3Client& pop3, const std::vector<ServerMessage>& listed) {
  std::vector<std::optional<int>> where(listed.size());
  const bool any_uidl = std::any_of(listed.begin(), listed.end(), [](const ServerMessage& m) { return !m.uidl.empty(); });
  std::map<std::string, int> by_uidl;
  bool have_uidls = false;
  if (any_uidl) {
    if (auto uidls = pop3.UidlAll()) {
      have_uidls = true;
      for (size_t n = 1; n < uidls->size(); ++n)
        if (!(*uidls)[n].empty()) by_uidl.emplace((*uidls)[n], static_cast<int>(n));
    }
  }
  int count = -1;
  std::vector<long long> sizes;
  ParsedMessage header;
  for (size_t i = 0; i < listed.size(); ++i) {
    const ServerMessage& m = listed[i];
    if (!m.uidl.empty() && have_uidls) {
      if (auto it = by_uidl.find(m.uidl); it != by_uidl.end()) where[i] = it->second;
      continue;
    }
    // No UIDL: the message at the old number must be the same one, by Message-ID and size.
    if (m.message_id.empty() || m.number < 1) continue;
    if (count < 0) {
      count = pop3.Stat();
      sizes = pop3.ListAll();
    }
    if (m.number > count) continue;
    const auto k = static_cast<size_t>(m.number);
    if (k >= sizes.size() || sizes[k] != m.size) continue;
    pop3.Top(m.number, header);
    if (header.MessageId() == m.message_id) where[i] = m.number;
    header.Clear();
  }
  return where;
}

DeleteOutcome DeleteListed(Pop3Client& pop3, const std::vector<ServerMessage>& listed) {
  DeleteOutcome outcome;
  const auto where = LocateListed(pop3, listed);
  std::vector<int> numbers;
  for (size_t i = 0; i < listed.size(); ++i) {
    if (where[i]) numbers.push_back(*where[i]);
    else outcome.missing.push_back(listed[i]);
  }
  // From the highest number down, as the list is read from its last row up.
  std::sort(numbers.begin(), numbers.end(), std::greater<>());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  for (int n : numbers) {
    try {
      pop3.Delete(n);
      ++outcome.deleted;
    } catch (const ProtocolError& e) {
      if (e.kind() != ErrorKind::ServerRefusal || !pop3.IsConnected()) throw;
      outcome.refused = AsAppError(e);
      break;
    }
  }
  return outcome;
}

std::string DeleteModeStatusText(int count) {
  return Sjis(texts::kDeleteModeStatus) + std::to_string(count) + Sjis(texts::kMailCountEnd);
}

}  // namespace plumex
