// Fixed texts of the settings, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

// The fields and the one special target of a rule file's lines.
inline constexpr std::string_view kRuleFieldSubject = "件名";
inline constexpr std::string_view kRuleFieldFrom = "差出人";
inline constexpr std::string_view kRuleFieldTo = "あて名";
inline constexpr std::string_view kRuleTargetDelete = "削除";

inline constexpr std::string_view kAccountLine = "アカウント: ";

// The account window.
inline constexpr std::string_view kAccountRequired = "タイトルと必須項目だけは入力してください。";
inline constexpr std::string_view kAccountNameTaken = "同一のアカウント名が存在します。アカウント名を変えてください。";
inline constexpr std::string_view kBadPort = "ポート番号は1～65535の数字で入力してください。";
inline constexpr std::string_view kAccountBusy =
    "受信や送信の処理中は、使用中のアカウントを削除・名前変更・切り替えできません。処理が終わってから操作してください。";
inline constexpr std::string_view kAccountNameBackslash = "アカウント名に「\\」は使えません。";
inline constexpr std::string_view kAccountFolderOpen = "フォルダ「";
inline constexpr std::string_view kRenameFolderExists = "」がすでにあるため、アカウント名を変更できません。";
inline constexpr std::string_view kRenameFolderTo = "」を「";
inline constexpr std::string_view kRenameFolderNotMoved = "」へ移動できなかったため、アカウント名を変更できません。";
inline constexpr std::string_view kPlainLoginNotice =
    "SSLを使わない設定のため、パスワードなどのログイン情報は暗号化されずに送られます。";
inline constexpr std::string_view kSaved = "保存しました。";
inline constexpr std::string_view kListComma = "、";
inline constexpr std::string_view kMissingFields = "入力されていない項目: ";
// The required fields, named as the window labels them.
inline constexpr std::string_view kLabelAccountName = "アカウント名";
inline constexpr std::string_view kLabelAddress = "自分のメールアドレス";
inline constexpr std::string_view kLabelPopHost = "受信サーバ";
inline constexpr std::string_view kLabelSmtpHost = "送信サーバ";
inline constexpr std::string_view kLabelUser = "ユーザ名(ID)";
inline constexpr std::string_view kLabelPassword = "パスワード";
inline constexpr std::string_view kDeleteAccount1 = "現在のアカウント及び";
inline constexpr std::string_view kDeleteAccount2 = "同アカウントで受信したメール関係ファイル";
inline constexpr std::string_view kDeleteAccount3 = "をすべて削除します。";
inline constexpr std::string_view kDeleteAccount4 = "　　　よろしいですか？";
inline constexpr std::string_view kAccountSaveOrCancel = "保存、中止のどちらかを選択してください。";
inline constexpr std::string_view kNameFirst = "先にアカウント名を入力してください。";
inline constexpr std::string_view kSignedIn = "サインインしました。";

// Signing in and keeping passwords.
inline constexpr std::string_view kNotSignedIn =
    "このアカウントはまだサインインしていません。アカウントの設定で「サインイン」を行ってください。";
inline constexpr std::string_view kNoKeyring1 = "パスワードを安全に保管するキーリング(Secret Service)が見つからないため、";
inline constexpr std::string_view kNoKeyring2 =
    "パスワードはこれまでどおりAccount.ini(本人だけが読めるファイル)に保存しました。";
inline constexpr std::string_view kNoPasswordInKeyring =
    "キーリングにこのアカウントのパスワードがありません。アカウントの設定でパスワードを入力して保存してください。";
inline constexpr std::string_view kKeyringReadFailed = "キーリングからパスワードを読み出せませんでした。";
inline constexpr std::string_view kKeyringSaveFailed = "キーリングにパスワードを保存できませんでした。";
inline constexpr std::string_view kKeyringLocked = "キーリングがロックされています。ロックを解除してから、もう一度行ってください。";

// Notices of the mail services the account window knows.
inline constexpr std::string_view kOutlookNotice =
    "Outlook.comはパスワードでのログインを受け付けません。「サインイン」でMicrosoftアカウントにサインインしてください。";
inline constexpr std::string_view kGmailNotice =
    "Gmailでは「サインイン」でGoogleアカウントにサインインするか、ログイン方式をパスワードにして"
    "アプリ パスワード(2段階認証プロセスが必要)を入力してください。Gmailの設定でPOPを有効にしてください。";
inline constexpr std::string_view kMicrosoft365Notice =
    "Microsoft 365はパスワードでのログインを受け付けません。組織のテナント(または common)を確かめて"
    "「サインイン」してください。管理者の承認が必要なことがあります。";
inline constexpr std::string_view kICloudNotice =
    "iCloudメールはPOP3に対応していないため、Plumexでは受信できません(送信だけできます)。"
    "パスワードにはAppleアカウントで作ったApp用パスワードを使ってください。";
inline constexpr std::string_view kYahooNotice =
    "Yahoo!メールの設定で「Yahoo! JAPAN公式サービス以外からのアクセスも有効にする」をオンにしてください。";

// The new-mail check settings.
inline constexpr std::string_view kBadCheckInterval = "新着チェックの間隔は10から86400までの秒数を半角数字で入力してください";
inline constexpr std::string_view kForwardAddressNotMail = "自動転送先はメールアドレスを記述してください";
inline constexpr std::string_view kForwardAccountUnknown = "設定したアカウントの中から選択してください";

}  // namespace plumex::texts
