// Store paths are what the mail store talks about: code page 932 text relative to the mail
// root, folder names joined by "\". This is the one place that turns them into native paths
// (UTF-8 names on Linux) and back.
//
// Bytes that are not valid code page 932, and a "/" inside a name, cannot stand in a UTF-8
// file name as they are; each becomes the private-use character U+F700 + byte, which no valid
// code page 932 text produces, so the mapping is reversible. A name made only of "." or ".."
// is mapped the same way, so that no store name can climb out of the mail root.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// Splits a store path at "\" separators, never at a 0x5C trail byte of a two-byte character.
// Empty components (from a trailing "\") are dropped.
std::vector<std::string> SplitStorePath(std::string_view store_path);

// Native file name (UTF-8) of one CP932 name.
std::string NativeName(std::string_view cp932_name);

// CP932 name of a native file name (the inverse of NativeName).
std::string StoreName(std::string_view native_name);

// mail_root / the native names of the components of store_path.
std::filesystem::path ToNativePath(const std::filesystem::path& mail_root, std::string_view store_path);

// Text of a native path for a message to the user, in CP932 (the platform's own separator).
std::string DisplayPath(const std::filesystem::path& path);

// A native path (a file the user chose) as CP932 text, component by component, and back:
// PathFromText(PathText(p)) == p for every path.
std::string PathText(const std::filesystem::path& path);
std::filesystem::path PathFromText(std::string_view text);

}  // namespace plumex
