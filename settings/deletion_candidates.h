// The deletion-candidate server list, "NoDomain.ini" in MailRoot: one host per line. Mail
// whose first Received header names one of these servers is marked as a deletion candidate
// in server delete mode. Hosts are compared ignoring the case of ASCII letters.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

inline constexpr const char* kDeletionCandidateFileName = "NoDomain.ini";

// The lines of NoDomain.ini; an empty list when the file is missing or unreadable.
std::vector<std::string> LoadDeletionCandidateServers(const std::filesystem::path& mail_root);
void SaveDeletionCandidateServers(const std::filesystem::path& mail_root, const std::vector<std::string>& servers);

// Adds each server not present yet (ignoring case), or removes every entry equal to one
// (ignoring case). Empty names change nothing. The list is kept sorted; true when it changed.
bool AddCandidateServers(std::vector<std::string>& list, const std::vector<std::string>& servers);
bool RemoveCandidateServers(std::vector<std::string>& list, const std::vector<std::string>& servers);

}  // namespace plumex
