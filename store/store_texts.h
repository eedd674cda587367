// Fixed texts of the store, in UTF-8; pass them through Sjis() for the core. They are part of
// the store's format: the names of its root folders and the keys of a message file's header.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kReceiveRootName = "受信";
inline constexpr std::string_view kSendRootName = "送信";
inline constexpr std::string_view kDraftRootName = "一時保存";
// The log of the last merge send, in the send folder.
inline constexpr std::string_view kMergeLogName = "差込ログ.txt";

// Keys of a message file's pseudo-header, as values are looked up by them.
inline constexpr std::string_view kKeySubject = "件名";
inline constexpr std::string_view kKeyFrom = "差出人";
inline constexpr std::string_view kKeyTo = "あて名";
inline constexpr std::string_view kKeyDate = "日時";
inline constexpr std::string_view kKeyFileSize = "ﾌｧｲﾙｻｲｽﾞ";
inline constexpr std::string_view kKeyMergeFile = "差込ファイル";
inline constexpr std::string_view kKeyMessageId = "Message-ID";
inline constexpr std::string_view kKeySenderTrust = "送信者確認";
// The same keys as a header line starts with them.
inline constexpr std::string_view kLineSubject = "件名:";
inline constexpr std::string_view kLineFrom = "差出人:";
inline constexpr std::string_view kLineTo = "あて名:";
inline constexpr std::string_view kLineDate = "日時:";
inline constexpr std::string_view kLineFileSize = "ﾌｧｲﾙｻｲｽﾞ:";
inline constexpr std::string_view kLineMergeFile = "差込ファイル:";
inline constexpr std::string_view kLineAttachments = "添付ファイル:";
inline constexpr std::string_view kLineSenderTrust = "送信者確認:";

}  // namespace plumex::texts
