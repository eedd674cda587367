#include "settings/deletion_candidates.h"

#include "platform/directories.h"
#include "platform/text_file.h"

namespace plumex {

DeletionCandidates DeletionCandidates::Load(const std::filesystem::path& mail_root) {
  DeletionCandidates list;
  const auto file = mail_root / kDeletionCandidatesFileName;
  if (!FileExists(file)) {
    EnsureDirectory(mail_root);
    WriteLines(file, {});
  }
  ReadLines(file, list.hosts_);
  return list;
}

void DeletionCandidates::Save(const std::filesystem::path& mail_root) const {
  WriteLines(mail_root / kDeletionCandidatesFileName, hosts_);
}

}  // namespace plumex
