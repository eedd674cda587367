// The deletion-candidate mail servers ("NoDomain.ini"): one host name per line. Server delete
// mode adds and removes hosts as messages are marked; the settings dialog deletes entries
// and saves the list. One live list for the run.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

inline constexpr const char* kDeletionCandidatesFileName = "NoDomain.ini";

// Marking adds each server not present yet (ignoring the case of ASCII letters, as hosts are
// compared), unmarking removes every entry equal to one; empty names change nothing. The list
// is kept sorted. True when it changed.
bool AddCandidateServers(std::vector<std::string>& hosts, const std::vector<std::string>& servers);
bool RemoveCandidateServers(std::vector<std::string>& hosts, const std::vector<std::string>& servers);

class DeletionCandidates {
 public:
  // The file's lines; a missing file is created empty.
  static DeletionCandidates Load(const std::filesystem::path& mail_root);
  void Save(const std::filesystem::path& mail_root) const;

  const std::vector<std::string>& Hosts() const { return hosts_; }
  std::vector<std::string>& Hosts() { return hosts_; }

 private:
  std::vector<std::string> hosts_;
};

}  // namespace plumex
