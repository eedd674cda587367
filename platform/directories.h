// Directory operations on native paths. Names handed back are CP932 store names.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace plumex {

// Names of the subdirectories (or of the regular files) of dir, sorted by their native bytes,
// so every listing of the same directory comes in the same order. Empty when dir is missing.
std::vector<std::string> ListSubdirectories(const std::filesystem::path& dir);
std::vector<std::string> ListFiles(const std::filesystem::path& dir);

// Creates dir with all missing parents, each 0700; true when it exists afterwards.
bool EnsureDirectory(const std::filesystem::path& dir);

// Deletes dir and everything in it; true when nothing is left. A missing dir counts as deleted.
bool RemoveRecursively(const std::filesystem::path& dir);

// Copies dir with everything in it to target (created), overwriting files of the same name.
// Like everything the store creates, the copied folders are 0700 and the files 0600.
bool CopyDirectory(const std::filesystem::path& dir, const std::filesystem::path& target);

// Moves (renames) a file or directory; falls back to copy and delete across file systems.
bool MovePath(const std::filesystem::path& from, const std::filesystem::path& to);

// The same moves, copies and deletions telling why they failed: an empty error_code when they
// did what was asked. Commands that must not change an index row for a file that stayed put
// use these. TryRemove deletes a file or a directory tree; a missing path counts as removed.
std::error_code TryMovePath(const std::filesystem::path& from, const std::filesystem::path& to);
std::error_code TryCopyFile(const std::filesystem::path& from, const std::filesystem::path& to);
std::error_code TryCopyDirectory(const std::filesystem::path& dir, const std::filesystem::path& target);
std::error_code TryRemove(const std::filesystem::path& path);

bool FileExists(const std::filesystem::path& path);
bool DirectoryExists(const std::filesystem::path& path);

}  // namespace plumex
