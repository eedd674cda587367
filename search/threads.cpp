#include "search/threads.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "search/search_texts.h"

namespace plumex {
namespace {

bool IsSpace(std::string_view s, size_t i, size_t& width) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b <= ' ') {
    width = 1;
    return true;
  }
  if (b == 0x81 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x40) {  // "　"
    width = 2;
    return true;
  }
  return false;
}

size_t SkipSpaces(std::string_view s, size_t i) {
  size_t width = 0;
  while (i < s.size() && IsSpace(s, i, width)) i += width;
  return i;
}

// Length of a colon (":" or "：") at i, 0 when there is none.
size_t ColonAt(std::string_view s, size_t i) {
  if (i < s.size() && s[i] == ':') return 1;
  if (i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 && static_cast<unsigned char>(s[i + 1]) == 0x46)
    return 2;
  return 0;
}

bool StartsWithIgnoringAsciiCase(std::string_view s, size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k) {
    char a = s[i + k];
    const char b = word[k];
    // Only the letters of an ASCII word fold: the bytes of "返信" are compared as they are.
    if (b >= 'a' && b <= 'z' && a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (a != b) return false;
  }
  return true;
}

// Length of one reply or forward prefix at i (with the spaces after it), 0 when none.
size_t PrefixAt(std::string_view s, size_t i) {
  for (std::string_view word : {std::string_view("fwd"), std::string_view("re"), std::string_view("fw"),
                                std::string_view(Sjis(texts::kReplyPrefixWord)),
                                std::string_view(Sjis(texts::kForwardPrefixWord))}) {
    if (!StartsWithIgnoringAsciiCase(s, i, word)) continue;
    size_t j = SkipSpaces(s, i + word.size());
    // A count: "Re[2]:", "Re^2:".
    if (j < s.size() && (s[j] == '[' || s[j] == '^')) {
      size_t k = j + 1;
      while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
      if (k > j + 1) {
        if (s[j] == '[' && k < s.size() && s[k] == ']') j = k + 1;
        else if (s[j] == '^') j = k;
      }
    }
    if (size_t colon = ColonAt(s, j)) return SkipSpaces(s, j + colon) - i;
  }
  return 0;
}

}  // namespace

std::string ThreadSubject(std::string_view subject) {
  size_t i = SkipSpaces(subject, 0);
  while (size_t n = PrefixAt(subject, i)) i += n;
  std::string_view rest = subject.substr(i);
  while (!rest.empty() && static_cast<unsigned char>(rest.back()) <= ' ') rest.remove_suffix(1);
  return std::string(rest);
}

std::vector<std::string> ReferencedIds(std::string_view value) {
  std::vector<std::string> ids;
  size_t i = 0;
  while ((i = value.find('<', i)) != std::string_view::npos) {
    size_t end = value.find('>', i);
    if (end == std::string_view::npos) break;
    ids.emplace_back(value.substr(i, end - i + 1));
    i = end + 1;
  }
  if (ids.empty()) {
    // Ids without brackets: words between blanks.
    size_t start = 0;
    while (start < value.size()) {
      while (start < value.size() && static_cast<unsigned char>(value[start]) <= ' ') ++start;
      size_t end = start;
      while (end < value.size() && static_cast<unsigned char>(value[end]) > ' ') ++end;
      if (end > start) ids.emplace_back(value.substr(start, end - start));
      start = end;
    }
  }
  return ids;
}

std::vector<ThreadLine> BuildThreads(const std::vector<ThreadMessage>& messages, bool newest_first) {
  const size_t n = messages.size();
  constexpr size_t kNone = static_cast<size_t>(-1);
  // The first message with an id owns it; a repeated id leads to that one.
  std::unordered_map<std::string, size_t> by_id;
  for (size_t i = 0; i < n; ++i)
    if (!messages[i].message_id.empty()) by_id.emplace(messages[i].message_id, i);
  // Ids compare with or without their brackets.
  auto find = [&](const std::string& id) -> size_t {
    auto it = by_id.find(id);
    if (it == by_id.end() && id.size() > 2 && id.front() == '<' && id.back() == '>')
      it = by_id.find(id.substr(1, id.size() - 2));
    if (it == by_id.end()) it = by_id.find("<" + id + ">");
    return it == by_id.end() ? kNone : it->second;
  };

  std::vector<size_t> parent(n, kNone);
  auto is_ancestor = [&](size_t a, size_t of) {
    for (size_t p = of, steps = 0; p != kNone && steps <= n; p = parent[p], ++steps)
      if (p == a) return true;
    return false;
  };
  std::vector<size_t> by_date(n);
  std::iota(by_date.begin(), by_date.end(), size_t{0});
  std::stable_sort(by_date.begin(), by_date.end(),
                   [&](size_t a, size_t b) { return messages[a].date < messages[b].date; });

  std::vector<bool> named_none(n, false);
  // Newest first: where references close a loop, the older message keeps its place as parent.
  for (auto rit = by_date.rbegin(); rit != by_date.rend(); ++rit) {
    const size_t i = *rit;
    // The nearest ancestor in the folder: In-Reply-To first, then References from the end.
    std::vector<std::string> chain = ReferencedIds(messages[i].references);
    for (const std::string& id : ReferencedIds(messages[i].in_reply_to)) chain.push_back(id);
    bool named = !chain.empty();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      size_t p = find(*it);
      if (p == kNone || p == i || is_ancestor(i, p)) continue;
      parent[i] = p;
      break;
    }
    named_none[i] = !named;
  }
  // No references at all: a prefixed subject joins the oldest message of the same subject.
  std::unordered_map<std::string, size_t> oldest_of_subject;
  for (size_t i : by_date) {
    std::string key = ThreadSubject(messages[i].subject);
    auto [it, first] = oldest_of_subject.emplace(key, i);
    if (first || !named_none[i] || parent[i] != kNone) continue;
    if (key == messages[i].subject || key.empty()) continue;  // no prefix: a conversation of its own
    if (!is_ancestor(i, it->second)) parent[i] = it->second;
  }

  std::vector<std::vector<size_t>> children(n);
  std::vector<size_t> roots;
  for (size_t i : by_date) (parent[i] == kNone ? roots : children[parent[i]]).push_back(i);
  // Each conversation depth first, then the conversations in the order of their newest message.
  struct Conversation {
    std::vector<ThreadLine> lines;
    std::string newest;
  };
  std::vector<Conversation> conversations;
  conversations.reserve(roots.size());
  std::vector<std::pair<size_t, int>> stack;
  for (size_t r : roots) {
    Conversation c;
    stack.push_back({r, 0});
    while (!stack.empty()) {
      auto [m, depth] = stack.back();
      stack.pop_back();
      c.lines.push_back({m, depth});
      c.newest = std::max(c.newest, messages[m].date);
      for (auto it = children[m].rbegin(); it != children[m].rend(); ++it) stack.push_back({*it, depth + 1});
    }
    conversations.push_back(std::move(c));
  }
  std::stable_sort(conversations.begin(), conversations.end(), [&](const Conversation& a, const Conversation& b) {
    return newest_first ? a.newest > b.newest : a.newest < b.newest;
  });
  std::vector<ThreadLine> lines;
  lines.reserve(n);
  for (const Conversation& c : conversations) lines.insert(lines.end(), c.lines.begin(), c.lines.end());
  return lines;
}

}  // namespace plumex
