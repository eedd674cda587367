#include "store/message_files.h"

#include <string>

#include "platform/directories.h"
#include "platform/store_path.h"
#include "store/store_layout.h"

namespace fs = std::filesystem;

namespace plumex {

fs::path MessageFileIn(const fs::path& dir, std::string_view key) {
  return dir / NativeName(std::string(key) + ".txt");
}

fs::path OriginalIn(const fs::path& dir, std::string_view key) {
  return dir / NativeName(std::string(key) + std::string(kOriginalExtension));
}

fs::path AttachmentsIn(const fs::path& dir, std::string_view key, AttachmentForm form) {
  std::string name(key);
  if (form == AttachmentForm::DraftList) name += ".ini";
  return dir / std::string(kAttachmentDirName) / NativeName(name);
}

namespace {

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

}  // namespace

std::error_code MoveMessageFiles(const fs::path& from_dir, std::string_view from_key, const fs::path& to_dir,
                                 std::string_view to_key) {
  const fs::path from_file = MessageFileIn(from_dir, from_key), to_file = MessageFileIn(to_dir, to_key);
  const fs::path from_att = AttachmentsIn(from_dir, from_key), to_att = AttachmentsIn(to_dir, to_key);
  // A file of that name in the target is another copy, or another message: nothing is replaced,
  // and the row stays with the file it names.
  if (Exists(from_file) && Exists(to_file)) return std::make_error_code(std::errc::file_exists);
  bool attachments_moved = false;
  if (DirectoryExists(from_att) && !Exists(to_att)) {
    if (!EnsureDirectory(to_att.parent_path())) return std::make_error_code(std::errc::permission_denied);
    if (auto e = TryMovePath(from_att, to_att)) return e;
    attachments_moved = true;
  }
  if (!Exists(from_file)) return {};
  if (auto e = TryMovePath(from_file, to_file)) {
    if (attachments_moved) TryMovePath(to_att, from_att);
    return e;
  }
  // The original follows its message; one that cannot move is copied, and never lost.
  const fs::path from_original = OriginalIn(from_dir, from_key), to_original = OriginalIn(to_dir, to_key);
  if (Exists(from_original) && TryMovePath(from_original, to_original)) TryCopyFile(from_original, to_original);
  return {};
}

std::error_code CopyMessageFiles(const fs::path& from_dir, std::string_view from_key, const fs::path& to_dir,
                                 std::string_view to_key) {
  if (!EnsureDirectory(to_dir)) return std::make_error_code(std::errc::permission_denied);
  const fs::path from_file = MessageFileIn(from_dir, from_key);
  if (Exists(from_file))
    if (auto e = TryCopyFile(from_file, MessageFileIn(to_dir, to_key))) return e;
  const fs::path from_original = OriginalIn(from_dir, from_key);
  if (Exists(from_original))
    if (auto e = TryCopyFile(from_original, OriginalIn(to_dir, to_key))) return e;
  const fs::path from_att = AttachmentsIn(from_dir, from_key);
  if (DirectoryExists(from_att)) return TryCopyDirectory(from_att, AttachmentsIn(to_dir, to_key));
  return {};
}

std::error_code DeleteMessageFiles(const fs::path& dir, std::string_view key, AttachmentForm form) {
  if (auto e = TryRemove(MessageFileIn(dir, key))) return e;
  if (auto e = TryRemove(OriginalIn(dir, key))) return e;
  return TryRemove(AttachmentsIn(dir, key, form));
}

}  // namespace plumex
