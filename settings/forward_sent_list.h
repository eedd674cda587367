// "ForwardSL.ini": the identifiers of the messages auto-forwarding has already sent on, one a
// line. Starting a check afresh ("実行") forgets them.
#pragma once

#include <filesystem>

namespace plumex {

inline constexpr const char* kForwardSentListFileName = "ForwardSL.ini";

// Deletes the file when it exists.
void DeleteForwardSentList(const std::filesystem::path& mail_root);

}  // namespace plumex
