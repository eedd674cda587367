// Fixed texts of receiving, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

// The mode label while a run goes on, and when none does.
inline constexpr std::string_view kModeReceive = "受信";
inline constexpr std::string_view kModeNormal = "通常";
inline constexpr std::string_view kModeServerDelete = "削除";

inline constexpr std::string_view kReceiveStopped = "中止しました。";
inline constexpr std::string_view kConnectFailed = "接続できませんでした。";
inline constexpr std::string_view kMessageLeftOnServer = "次のメールは保存できなかったため、受信せずにサーバに残しました: ";
inline constexpr std::string_view kMessageNumberSuffix = "番目 ";
inline constexpr std::string_view kNewMailCount1 = "新着メールは";
inline constexpr std::string_view kMailCountEnd = "件です。";
inline constexpr std::string_view kReceiveCutShort = "受信が途中で終わりました。";
inline constexpr std::string_view kDeleteModeStatus = "削除モードで接続中。メールは";
inline constexpr std::string_view kDeletedCount = "削除したメールは";

inline constexpr std::string_view kRulesFailed = "次のメールはルールにしたがって移動・削除できませんでした。";
inline constexpr std::string_view kRulesFailedSubjectOpen = "件名『";
inline constexpr std::string_view kRulesFailedSubjectClose = "』";
inline constexpr std::string_view kRulesTargetHasMessage = "移動先に同じメールがあります。";

inline constexpr std::string_view kForwardBadHeader = "メール本文中のヘッダ情報が異常です。";

// The summary of a mailbox import.
inline constexpr std::string_view kImportRead = "読み込み ";
inline constexpr std::string_view kImportFiled = "件、登録 ";
inline constexpr std::string_view kImportAlready = "、登録済みのため省略 ";
inline constexpr std::string_view kImportRejected = "、振り分けルールで拒否 ";
inline constexpr std::string_view kImportCountSuffix = "件";
inline constexpr std::string_view kImportUnreadable = "ファイルを読み込めませんでした: ";

// The sentence on the sender's trust shown above a message.
inline constexpr std::string_view kTrustUnknownDomain = "（不明）";
inline constexpr std::string_view kTrustSenderDomain = "差出人のドメイン";
inline constexpr std::string_view kTrustDmarcPass = "は送信ドメイン認証（DMARC）に合格しています。";
inline constexpr std::string_view kTrustDmarcFail = "は送信ドメイン認証（DMARC）に失敗しました。なりすましの恐れがあります。";
inline constexpr std::string_view kTrustNoDmarcButPass = "にDMARCの結果はありませんが、DKIMまたはSPFは合格しています。";
inline constexpr std::string_view kTrustDkimSpfFail = "の送信ドメイン認証（DKIM/SPF）が失敗しています。ご注意ください。";
inline constexpr std::string_view kTrustNoResult = "の送信ドメイン認証の結果はありません。";
inline constexpr std::string_view kTrustSignedTrusted = "署名あり・信頼できる。";
inline constexpr std::string_view kTrustSignedUntrusted = "署名はありますが、信頼できる認証局が発行した証明書ではありません。";
inline constexpr std::string_view kTrustSignatureInvalid = "署名が正しくありません。本文が書き換えられた恐れがあります。";
inline constexpr std::string_view kTrustSignerMismatch = "署名者が差出人のアドレスと違います。";
inline constexpr std::string_view kTrustNameAddress1 = "表示名に別のアドレス（";
inline constexpr std::string_view kTrustNameAddress2 = "）が書かれていますが、実際の差出人は";
inline constexpr std::string_view kTrustNameAddress3 = "です。";

}  // namespace plumex::texts
