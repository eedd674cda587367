// The files of one message in a folder directory: its message file key + ".txt", the original
// bytes it was filed from (key + ".eml", when it came from a server or a file; a message filed
// before originals were kept has none) and its attachments ("Attachment\" + key, a directory;
// for drafts "Attachment\" + key + ".ini").
// Moves, copies and deletions say why they failed, so that an index row is changed only for a
// message whose files went where the row says.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace plumex {

enum class AttachmentForm { Directory, DraftList };

std::filesystem::path MessageFileIn(const std::filesystem::path& dir, std::string_view key);
std::filesystem::path OriginalIn(const std::filesystem::path& dir, std::string_view key);
std::filesystem::path AttachmentsIn(const std::filesystem::path& dir, std::string_view key,
                                    AttachmentForm form = AttachmentForm::Directory);

// Moves the message file, its original and its attachment directory from one folder directory to another
// (the keys differ when the target keeps another message under the first one).
// A message file already at the target stays where it is and counts as moved; so does an
// attachment directory already there. Either both move or, as far as the disk allows, neither:
// when the message file cannot move, attachments moved for it go back.
std::error_code MoveMessageFiles(const std::filesystem::path& from_dir, std::string_view from_key,
                                 const std::filesystem::path& to_dir, std::string_view to_key);

// Copies the message file (replacing one of that name), its original and its attachment
// directory (when they exist), creating the target's directories.
std::error_code CopyMessageFiles(const std::filesystem::path& from_dir, std::string_view from_key,
                                 const std::filesystem::path& to_dir, std::string_view to_key);

// Deletes the message file, then its original and its attachments. A message that was not there counts as
// deleted.
std::error_code DeleteMessageFiles(const std::filesystem::path& dir, std::string_view key,
                                   AttachmentForm form = AttachmentForm::Directory);

}  // namespace plumex
