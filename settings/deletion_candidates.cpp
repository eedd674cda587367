#include "settings/deletion_candidates.h"

#include <algorithm>

#include "text/ascii_case.h"
#include "platform/directories.h"
#include "platform/text_file.h"

namespace plumex {

bool AddCandidateServers(std::vector<std::string>& hosts, const std::vector<std::string>& servers) {
  std::sort(hosts.begin(), hosts.end());
  bool changed = false;
  for (const auto& server : servers) {
    if (server.empty()) continue;
    const bool present =
        std::any_of(hosts.begin(), hosts.end(), [&](const std::string& h) { return EqualIgnoringCase(h, server); });
    if (present) continue;
    hosts.insert(std::upper_bound(hosts.begin(), hosts.end(), server), server);
    changed = true;
  }
  return changed;
}

bool RemoveCandidateServers(std::vector<std::string>& hosts, const std::vector<std::string>& servers) {
  std::sort(hosts.begin(), hosts.end());
  const size_t before = hosts.size();
  for (const auto& server : servers) {
    if (server.empty()) continue;
    std::erase_if(hosts, [&](const std::string& h) { return EqualIgnoringCase(h, server); });
  }
  return hosts.size() != before;
}

DeletionCandidates DeletionCandidates::Load(const std::filesystem::path& mail_root) {
  DeletionCandidates list;
  const auto file = mail_root / kDeletionCandidatesFileName;
  if (!FileExists(file)) {
    EnsureDirectory(mail_root);
    WriteLines(file, {});
  }
  ReadLines(file, list.hosts_);
  return list;
}

void DeletionCandidates::Save(const std::filesystem::path& mail_root) const {
  WriteLines(mail_root / kDeletionCandidatesFileName, hosts_);
}

}  // namespace plumex
