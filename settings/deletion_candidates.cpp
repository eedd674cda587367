#include "settings/deletion_candidates.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/text_file.h"

namespace plumex {

std::vector<std::string> LoadDeletionCandidateServers(const std::filesystem::path& mail_root) {
  std::vector<std::string> lines;
  if (!ReadLines(mail_root / kDeletionCandidateFileName, lines)) return {};
  std::erase_if(lines, [](const std::string& l) { return l.empty(); });
  return lines;
}

void SaveDeletionCandidateServers(const std::filesystem::path& mail_root, const std::vector<std::string>& servers) {
  WriteLines(mail_root / kDeletionCandidateFileName, servers);
}

bool AddCandidateServers(std::vector<std::string>& list, const std::vector<std::string>& servers) {
  std::sort(list.begin(), list.end());
  bool changed = false;
  for (const auto& server : servers) {
    if (server.empty()) continue;
    const bool present =
        std::any_of(list.begin(), list.end(), [&](const std::string& l) { return EqualIgnoringCase(l, server); });
    if (present) continue;
    list.insert(std::upper_bound(list.begin(), list.end(), server), server);
    changed = true;
  }
  return changed;
}

bool RemoveCandidateServers(std::vector<std::string>& list, const std::vector<std::string>& servers) {
  std::sort(list.begin(), list.end());
  const size_t before = list.size();
  for (const auto& server : servers) {
    if (server.empty()) continue;
    std::erase_if(list, [&](const std::string& l) { return EqualIgnoringCase(l, server); });
  }
  return list.size() != before;
}

}  // namespace plumex
