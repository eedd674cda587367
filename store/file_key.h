// The file-name stem of a message (its FileKey) and the names of attachment files.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Keys whose native (UTF-8) file name is longer than this are shortened, so that the file can
// always be created: Linux allows 255 bytes for a name, and the key's file adds ".txt" and the
// temporary suffix of an atomic write (at most 26 bytes in all), an attachment "(n)" and the
// same suffix.
inline constexpr size_t kMaxFileKeyBytes = 200;

// Sanitises a Message-ID (or any name) into a file-name stem: spaces and double quotes are
// removed, < > \ / | * : ? become 0 9 8 7 6 5 _ -, character by character (the second byte of
// a double-byte character of code page 932 is never replaced). A result whose native name is
// longer than 200 bytes becomes its first characters (never half of one) up to 180 native
// bytes, "~" and 16 hex digits of a hash of the whole sanitised key. "." and ".." become "_"
// and "__". MakeFileKey(MakeFileKey(x)) == MakeFileKey(x).
std::string MakeFileKey(std::string_view id);

// The key the sanitiser gave before it worked by character (byte by byte, so a character whose
// second byte is "\" or "|" was cut): files stored under it are still found.
std::string LegacyFileKey(std::string_view id);

// The same sanitiser for an attachment file name; a shortened name keeps its extension.
std::string MakeAttachmentFileName(std::string_view name);

// The key of a message whose MakeFileKey file already belongs to another Message-ID (ids that
// differ only in spaces or quotes share a key): the key, "~" and 8 hex digits of a hash of the
// id itself, within the same length limit.
std::string DistinctFileKey(std::string_view id);

}  // namespace plumex
