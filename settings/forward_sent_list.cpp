#include "settings/forward_sent_list.h"

#include "platform/directories.h"
#include "platform/text_file.h"

namespace plumex {

void DeleteForwardSentList(const std::filesystem::path& mail_root) {
  RemoveRecursively(mail_root / kForwardSentListFileName);
}

std::vector<std::string> LoadForwardSentList(const std::filesystem::path& mail_root) {
  std::vector<std::string> ids;
  if (!ReadLines(mail_root / kForwardSentListFileName, ids)) WriteLines(mail_root / kForwardSentListFileName, {});
  return ids;
}

void SaveForwardSentList(const std::filesystem::path& mail_root, const std::vector<std::string>& ids) {
  WriteLines(mail_root / kForwardSentListFileName, ids);
}

}  // namespace plumex
