#include "settings/forward_sent_list.h"

#include "platform/directories.h"

namespace plumex {

void DeleteForwardSentList(const std::filesystem::path& mail_root) {
  RemoveRecursively(mail_root / kForwardSentListFileName);
}

}  // namespace plumex
