// Password-protected ZIP attachments (the パスワード付きZIP habit): their content cannot be
// checked, so the attachment list marks them. Only the ZIP headers are read (general-purpose
// bit 0 of the local headers' and the central directory's entries); nothing is extracted.
#pragma once

#include <filesystem>
#include <string_view>

namespace plumex {

// The attachment list's warning for such a file (UTF-8; Sjis() for the core's texts).
inline constexpr const char* kEncryptedZipWarning =
    "パスワード付きZIPです。中身は確認されていません。送信者に電話など別の方法で確かめてから開いてください。";

// True when the file is a ZIP archive with at least one encrypted entry. A file that is no
// ZIP archive, or cannot be read, is not.
bool IsEncryptedZip(const std::filesystem::path& file);
// The same over the bytes of an archive (or its first and last bytes: the first local header
// and the end of the central directory are what is read).
bool IsEncryptedZipBytes(std::string_view head, std::string_view whole_or_tail, unsigned long long tail_offset);

}  // namespace plumex
