#include "store/store_layout.h"

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "store/store_texts.h"

namespace plumex {

const std::string& ReceiveRootName() { return Sjis(texts::kReceiveRootName); }
const std::string& SendRootName() { return Sjis(texts::kSendRootName); }
const std::string& DraftRootName() { return Sjis(texts::kDraftRootName); }

bool IsFolderName(std::string_view name) {
  const auto parts = SplitStorePath(name);
  return parts.size() == 1 && parts[0] == name && name.find('/') == std::string_view::npos &&
         name.find('\t') == std::string_view::npos && name != "." && name != ".." && name != kAttachmentDirName;
}

std::string AccountFolderPath(std::string_view account_name) {
  return ReceiveRootName() + "\\" + std::string(account_name) + "\\";
}
std::string SendFolderPath() { return SendRootName() + "\\"; }
std::string DraftFolderPath() { return DraftRootName() + "\\"; }

}  // namespace plumex
