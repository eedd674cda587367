// The FileKey under which a folder keeps one message. Ids that differ only in what the
// sanitiser drops (spaces, double quotes) share MakeFileKey; the message filed second gets a
// distinct key, so a key never silently replaces another message's file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace plumex {

// MakeFileKey(id), unless folder's file of that key belongs to a different Message-ID: then
// DistinctFileKey(id). The same answer when filing (the key that is free for id, or already
// its own) and when reading (the key of id's file). A message stored under its LegacyFileKey
// (and no file under the new key) keeps that key.
std::string FileKeyInFolder(const std::filesystem::path& folder, std::string_view id);

}  // namespace plumex
