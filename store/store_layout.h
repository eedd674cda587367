// Names of the store's folders and files, as CP932 store paths relative to the mail root.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

const std::string& ReceiveRootName();  // "受信"
const std::string& SendRootName();     // "送信"
const std::string& DraftRootName();    // "一時保存"

inline constexpr std::string_view kReceiveIndexName = "MsgID.ini";
inline constexpr std::string_view kSendIndexName = "Send.ini";
inline constexpr std::string_view kDraftIndexName = "temp.ini";
inline constexpr std::string_view kReceivedIdListName = "AlreadMsgID.ini";
inline constexpr std::string_view kAttachmentDirName = "Attachment";
inline constexpr std::string_view kHeaderErrorsName = "HeaderERR.ini";
// A received message's original bytes lie beside its message file: key + ".eml".
inline constexpr std::string_view kOriginalExtension = ".eml";

// Whether name can name one folder of the store (a folder, or an account's receive folder): a
// "\" or "/" would make a path of several folders (and deleting it would delete another), a
// TAB would break the folder's label, "." and ".." are no folders of their own, and
// "Attachment" is never scanned as a folder.
bool IsFolderName(std::string_view name);

// "受信\" + account + "\"
std::string AccountFolderPath(std::string_view account_name);
// "送信\"
std::string SendFolderPath();
// "一時保存\"
std::string DraftFolderPath();

}  // namespace plumex
