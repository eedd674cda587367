// Fixed texts of mail merge, delayed sending and drafts, in UTF-8; pass them through Sjis().
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kSheetNotSet = "指定されていません！";
inline constexpr std::string_view kSheetFileFilter =
    "CSVファイル(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
inline constexpr std::string_view kSheetBadRows = "CSVファイルのデータ配列が間違っています。";
inline constexpr std::string_view kSheetTitleEmpty =
    "項目(ﾀｲﾄﾙ)行=先頭行が空白です\r\n\r\n中断するなら「クリア」ボタンを押してから閉じてください。";
inline constexpr std::string_view kSheetNotAddress =
    "先頭列データがメールアドレスではありません。\r\n\r\n中断するなら「クリア」ボタンを押してから閉じてください。";
inline constexpr std::string_view kSheetSaved = "保存しました。";
inline constexpr std::string_view kSheetExportFirst = "アドレス帳から宛先をエクスポートしてください";
inline constexpr std::string_view kSheetColumnsMin = "列数は最低１列以上です";
inline constexpr std::string_view kSheetRowsMin = "行数は最低２行以上です";
inline constexpr std::string_view kSheetSaveNew = "新規にシートを作成した場合は、必ずファイル保存をしましょう";
inline constexpr std::string_view kSheetOverwriteCaption = "指定文字列で上書き";
inline constexpr std::string_view kSheetOverwritePrompt = "範囲指定したセル内を指定した文字列で上書きします";
inline constexpr std::string_view kSheetErase = "範囲指定したセル内を消去します";
inline constexpr std::string_view kSheetColumnsFrom = "列目から";
inline constexpr std::string_view kSheetColumnsTo = "列目までを削除しますか？";
inline constexpr std::string_view kSheetRowsFrom = "行目から";
inline constexpr std::string_view kSheetRowsTo = "行目までを削除しますか？";
inline constexpr std::string_view kSheetFilter = "CSVファイル(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
inline constexpr std::string_view kNoSheet = "差し込むファイルが指定されていません";
inline constexpr std::string_view kPlaceholderNotAddress = "差込のデータはメールアドレスではありません";
// Our own: a sheet file that cannot be read.
inline constexpr std::string_view kSheetUnreadable = "差し込むファイルを読み込めませんでした。";

inline constexpr std::string_view kDelayQueued = "分後に送信します";
inline constexpr std::string_view kQueueFileMissing = "時差送信用のファイルが見つかりません。";
inline constexpr std::string_view kQueueCancel = "時差送信設定を解除しますか？";
inline constexpr std::string_view kQueueLabel = "時差送信中...";
// Our own: a queued message the server refused; it stays queued and is tried again.
inline constexpr std::string_view kQueueSendFailed = "時差送信に失敗しました。次の時刻にもう一度送信します。";

// Our own: reopening a message whose file is gone.
inline constexpr std::string_view kReopenFileMissing = "メールのファイルが見つかりません。本文は空になっています。";
// Our own: closing the compose window with unsent text.
inline constexpr std::string_view kDiscardQuestion =
    "送信していないメールがあります。\r\n\r\n一時保存しますか？\r\n（「いいえ」を選ぶとメールを破棄します）";

}  // namespace plumex::texts
