// The command-line tool's own messages, in UTF-8 as it prints them (the core's texts come as
// code page 932 and are converted on the way out). Usage lines stay as the commands write them.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kCliUnknownCommand = "そのようなコマンドはありません: ";
inline constexpr std::string_view kCliNoSuchAccount = "アカウントが見つかりません: ";
inline constexpr std::string_view kCliNoSuchFolder = "フォルダが見つかりません: ";
inline constexpr std::string_view kCliNoSuchMessage = "メールが見つかりません: ";
inline constexpr std::string_view kCliNoSuchQueueEntry = "時差送信の待ちにないメールです: ";
inline constexpr std::string_view kCliNotOnServer = "サーバにもうないメールです:";
inline constexpr std::string_view kCliNoOriginal = "このメールの原文は保存されていません: ";
inline constexpr std::string_view kCliStorePasswordLocked = "起動時パスワードで保護されたメールストアです。";
inline constexpr std::string_view kCliAccountAddNeeds = "NAME, --pop, --smtp, --user と --address を指定してください。";
inline constexpr std::string_view kCliPasswordOneLine = "パスワードを標準入力から1行で入力してください。";
inline constexpr std::string_view kCliIndexNotBuilt = "索引を作成できませんでした";
inline constexpr std::string_view kCliMergeSheetUnreadable = "差込ファイルを読み込めませんでした: ";
inline constexpr std::string_view kCliListingIncomplete = "サーバのメール一覧を最後まで読めませんでした";


// What the commands print.
inline constexpr std::string_view kCliCountSuffix = "件\n";
inline constexpr std::string_view kCliFiled = "登録 ";
inline constexpr std::string_view kCliSentCount = "送信したメールは ";
inline constexpr std::string_view kCliSentCountEnd = "件です。\n";
inline constexpr std::string_view kCliAnswerWithYes = " [--yes で「はい」]\n";
inline constexpr std::string_view kCliSendCheck = "送信前確認: ";
inline constexpr std::string_view kCliExternal1 = "社外のあて先があります（";
inline constexpr std::string_view kCliExternal2 = "）。確かめたうえで --confirm-external を付けて送信してください。\n";
inline constexpr std::string_view kCliIndexFile = "索引: ";
inline constexpr std::string_view kCliIndexState = "状態: ";
inline constexpr std::string_view kCliIndexNone = "なし";
inline constexpr std::string_view kCliIndexReady = "使用可能";
inline constexpr std::string_view kCliIndexBuilding = "作成途中";
inline constexpr std::string_view kCliIndexMessages = "メール: ";
inline constexpr std::string_view kCliIndexFolders = "フォルダ: ";
inline constexpr std::string_view kCliIndexStale = "削除済みの残り: ";
inline constexpr std::string_view kCliIndexSize = "大きさ: ";
inline constexpr std::string_view kCliBytesSuffix = " バイト\n";

// Where the mail store is, as "version" tells it.
inline constexpr std::string_view kCliMailRoot = "メールストア: ";
inline constexpr std::string_view kCliRootBesideExecutable = "実行ファイルと同じフォルダ";
inline constexpr std::string_view kCliRootUserData = "$XDG_DATA_HOME または ~/.local/share";

}  // namespace plumex::texts
