#include "receive/known_uidls.h"

#include "text/ascii_case.h"
#include "platform/text_file.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "store/tab_line.h"

namespace plumex {

KnownUidls KnownUidls::Open(const std::filesystem::path& file) {
  KnownUidls list;
  std::vector<std::string> lines;
  ReadLines(file, lines);
  for (const std::string& line : lines) {
    const std::string uidl = FieldOf(line, 0);
    if (!uidl.empty()) list.known_[uidl] = FieldOf(line, 1);
  }
  return list;
}

void KnownUidls::Plan(Pop3Client& pop3, int count, const ReceivedIdList& fetched) {
  if (count <= 0) {
    planned_ = true;  // an empty mailbox: nothing is kept
    return;
  }
  // Only a server that names UIDL among its capabilities is asked: one that does not may
  // answer it wrongly, and reading every header is what it always got.
  bool offered = false;
  for (const std::string& capability : pop3.capabilities())
    offered = offered || EqualIgnoringCase(std::string_view(capability).substr(0, capability.find(' ')), "UIDL");
  if (!offered) return;
  std::optional<std::vector<std::string>> uidls = pop3.UidlAll();
  if (!uidls) return;
  uidls_ = std::move(*uidls);
  uidls_.resize(static_cast<size_t>(count) + 1);
  skip_.assign(static_cast<size_t>(count) + 1, false);
  for (int n = 1; n <= count; ++n) {
    const std::string& uidl = uidls_[static_cast<size_t>(n)];
    if (uidl.empty()) continue;
    auto it = known_.find(uidl);
    if (it == known_.end() || !fetched.Contains(it->second)) continue;
    skip_[static_cast<size_t>(n)] = true;
    kept_.insert(*it);
  }
  planned_ = true;
}

bool KnownUidls::Skip(int n) const { return n > 0 && static_cast<size_t>(n) < skip_.size() && skip_[static_cast<size_t>(n)]; }

void KnownUidls::Seen(int n, const std::string& id) {
  if (n <= 0 || static_cast<size_t>(n) >= uidls_.size() || id.empty()) return;
  const std::string& uidl = uidls_[static_cast<size_t>(n)];
  if (!uidl.empty()) kept_[uidl] = id;
}

void KnownUidls::Save(const std::filesystem::path& file) const {
  if (!planned_ || kept_ == known_) return;
  std::vector<std::string> lines;
  lines.reserve(kept_.size());
  for (const auto& [uidl, id] : kept_) lines.push_back(uidl + "\t" + id);
  WriteLines(file, lines);
}

}  // namespace plumex
