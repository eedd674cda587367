// Fixed texts of the platform layer, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kFileWriteFailed = "ファイルに書き込めませんでした: ";
inline constexpr std::string_view kNotAFile = "ファイルではない(フォルダなどの)ため読み込めません: ";


// What a system error code means, as the user reads it.
inline constexpr std::string_view kNoSuchFileOrFolder = "ファイルまたはフォルダがありません";
inline constexpr std::string_view kAccessDenied = "アクセスが許可されていません";
inline constexpr std::string_view kFileExists = "同じ名前のファイルがすでにあります";
inline constexpr std::string_view kNotAFolder = "フォルダではありません";
inline constexpr std::string_view kIsAFolder = "フォルダです";
inline constexpr std::string_view kFolderNotEmpty = "フォルダが空ではありません";
inline constexpr std::string_view kDiskFull = "ディスクの空き容量が足りません";
inline constexpr std::string_view kDiskQuotaExceeded = "ディスクの使用量の上限を超えました";
inline constexpr std::string_view kReadOnlyDisk = "書き込みできないディスクです";
inline constexpr std::string_view kNameTooLong = "名前が長すぎます";
inline constexpr std::string_view kDiskIoError = "ディスクの読み書きでエラーが起きました";
inline constexpr std::string_view kTooManyOpenFiles = "開いているファイルが多すぎます";
inline constexpr std::string_view kSocketRefused = "接続が拒否されました";
inline constexpr std::string_view kSocketTimedOut = "接続がタイムアウトしました";
inline constexpr std::string_view kSocketReset = "接続がリセットされました";
inline constexpr std::string_view kSocketNetworkUnreachable = "ネットワークに到達できません";
inline constexpr std::string_view kSocketHostUnreachable = "ホストに到達できません";
inline constexpr std::string_view kSystemErrorNumber = "システムのエラー ";

}  // namespace plumex::texts
