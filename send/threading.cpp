#include "send/threading.h"

#include <vector>

namespace plumex {
namespace {

// The "<...>" ids of a header value; text outside angle brackets (comments, folding) is
// dropped. A bare id without brackets is taken whole.
std::vector<std::string> MessageIds(std::string_view value) {
  std::vector<std::string> ids;
  size_t i = 0;
  while (i < value.size()) {
    const size_t open = value.find('<', i);
    if (open == std::string_view::npos) break;
    const size_t close = value.find('>', open);
    if (close == std::string_view::npos) break;
    if (close > open + 1) ids.emplace_back(value.substr(open, close - open + 1));
    i = close + 1;
  }
  if (ids.empty()) {
    size_t b = 0, e = value.size();
    while (b < e && (value[b] == ' ' || value[b] == '\t')) ++b;
    while (e > b && (value[e - 1] == ' ' || value[e - 1] == '\t' || value[e - 1] == '\r' || value[e - 1] == '\n')) --e;
    if (b < e && value.substr(b, e - b).find_first_of(" \t") == std::string_view::npos)
      ids.emplace_back(value.substr(b, e - b));
  }
  return ids;
}

std::string Join(const std::vector<std::string>& ids) {
  std::string out;
  for (const auto& id : ids) out += (out.empty() ? "" : " ") + id;
  return out;
}

}  // namespace

Threading ThreadingOf(std::string_view parent_id, std::string_view parent_references,
                      std::string_view parent_in_reply_to, bool reply) {
  const std::vector<std::string> own = MessageIds(parent_id);
  if (own.size() != 1) return {};
  std::vector<std::string> chain = MessageIds(parent_references);
  if (chain.empty()) {
    const std::vector<std::string> answered = MessageIds(parent_in_reply_to);
    if (answered.size() == 1) chain = answered;
  }
  std::erase(chain, own.front());
  chain.push_back(own.front());
  return {reply ? own.front() : std::string(), Join(chain)};
}

std::string LastMessageId(std::string_view references) {
  const std::vector<std::string> ids = MessageIds(references);
  return ids.empty() ? std::string() : ids.back();
}

std::string WithoutLastMessageId(std::string_view references) {
  std::vector<std::string> ids = MessageIds(references);
  if (!ids.empty()) ids.pop_back();
  return Join(ids);
}

}  // namespace plumex
