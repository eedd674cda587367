// The file-name stem of a message (its FileKey) and the names of attachment files.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Keys longer than this are shortened so that the file can always be created.
inline constexpr size_t kMaxFileKeyBytes = 200;

// Sanitises a Message-ID (or any name) into a file-name stem: spaces and double quotes are
// removed, < > \ / | * : ? become 0 9 8 7 6 5 _ -, byte by byte. A result longer than 200
// bytes becomes its first 180 bytes (never half a character), "~" and 16 hex digits of a hash
// of the whole sanitised key. "." and ".." become "_" and "__". MakeFileKey(MakeFileKey(x)) ==
// MakeFileKey(x).
std::string MakeFileKey(std::string_view id);

// The same sanitiser for an attachment file name; a shortened name keeps its extension.
std::string MakeAttachmentFileName(std::string_view name);

}  // namespace plumex
