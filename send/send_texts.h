// Fixed texts of sending, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kMergeFileLineOfNewMail = "差込ファイル:あり";

inline constexpr std::string_view kBadSmtpPort = "ポート番号が正しくありません。";
inline constexpr std::string_view kSentButNotFiled1 = "メールは送信しましたが、送信済みメールのコピーを保存できませんでした。";
inline constexpr std::string_view kSentButNotFiled2 = "もう一度送信する必要はありません。";
inline constexpr std::string_view kFieldOpen = "「";
inline constexpr std::string_view kFieldNotSingleLine = "」に改行文字(CR・LF)またはNUL文字が含まれているため、送信できません。";

// The check before sending.
inline constexpr std::string_view kTooManyExternal1 = "To/Ccに社外のあて先が";
inline constexpr std::string_view kTooManyExternal2 = "件あります（";
inline constexpr std::string_view kTooManyExternal3 = "件まで）。受信者同士にアドレスが見えるため、Bccにすることを検討してください。";
inline constexpr std::string_view kReplyNewDomain = "返信元のメールに含まれていなかったドメインへ送ろうとしています: ";

// The merge sheet.
inline constexpr std::string_view kFullWidthComma = "，";
inline constexpr std::string_view kDefaultColumnTitle = "項目";
inline constexpr std::string_view kLastRecord = "最後のデータです";
inline constexpr std::string_view kFirstRecord = "最初のデータです";

}  // namespace plumex::texts
