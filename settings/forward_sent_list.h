// "ForwardSL.ini": the identifiers of the messages auto-forwarding has already sent on, one a
// line. Starting a check afresh ("実行") forgets them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

inline constexpr const char* kForwardSentListFileName = "ForwardSL.ini";

// Deletes the file when it exists.
void DeleteForwardSentList(const std::filesystem::path& mail_root);

// The lines of the file; a missing file is created empty.
std::vector<std::string> LoadForwardSentList(const std::filesystem::path& mail_root);
// Writes the whole list (atomically, so a crash never loses the ids recorded before).
void SaveForwardSentList(const std::filesystem::path& mail_root, const std::vector<std::string>& ids);

}  // namespace plumex
