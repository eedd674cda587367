// Fixed texts of the main window's commands, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kNoAccountFile1 = "アカウントが設定されていません。";
inline constexpr std::string_view kNoAccountFile2 = "メニューバーの「設定」－「アカウント」で設定してください。";
inline constexpr std::string_view kAccountLabelPrefix = "ｱｶｳﾝﾄ:";
inline constexpr std::string_view kModeNormal = "通常";
inline constexpr std::string_view kBadPassword = "パスワードが間違っています。起動は失敗です。";
inline constexpr std::string_view kAfterSendPending1 = "時差送信設定が残っています。";
inline constexpr std::string_view kAfterSendPending2 = "時差送信を解除し、Plumexを終了させますか？";
inline constexpr std::string_view kRowCountSuffix = "件";

inline constexpr std::string_view kAddFolderCaption = "フォルダ追加";
inline constexpr std::string_view kAddFolderPrompt = "新しいフォルダ名を入力してください。";
inline constexpr std::string_view kRenameFolderCaption = "フォルダ名変更";
inline constexpr std::string_view kRenameFolderPrompt = "新しいフォルダ名を入力指定ください";
inline constexpr std::string_view kRenameAccountHint = "メニューバーの「設定」「アカウント」で変更してください。";
inline constexpr std::string_view kRenameFailed = "フォルダ名を変更できませんでした";
inline constexpr std::string_view kRenameExists = "既に存在するフォルダ名への変更はできません。";
inline constexpr std::string_view kDeleteFolder1 = "選択中のフォルダを削除します。";
inline constexpr std::string_view kDeleteFolder2 = "　　...よろしいですか？";
// Our own: a typed name that cannot be a folder of the store.
inline constexpr std::string_view kBadFolderName = "このフォルダ名は使用できません。";

inline constexpr std::string_view kOverwrite = "同一ﾌｧｲﾙが存在します。上書きしますか？";
inline constexpr std::string_view kAllFilesFilter = "すべてのファイル(*.*)";
// The open dialogs: caption and pattern pairs joined by "|".
inline constexpr std::string_view kOpenMailFilter =
    "メール(*.eml)|*.eml|テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
inline constexpr std::string_view kImportMailboxFilter = "メール(*.mbx)|*.mbx|すべてのファイル(*.*)|*.*";
inline constexpr std::string_view kAttachmentFilter =
    "テキストファイル(*.txt;*.csv)|*.txt;*.csv|すべてのファイル(*.*)|*.*";
// Our own: a copy that failed.
inline constexpr std::string_view kSaveFailed = "ファイルを保存できませんでした。";
inline constexpr std::string_view kNoOriginal = "このメールの原文は保存されていません。";
inline constexpr std::string_view kChooseFolder = "ﾃﾞｨﾚｸﾄﾘｨを選択してください";

inline constexpr std::string_view kSetPasswordCaption = "起動時のパスワード設定";
inline constexpr std::string_view kSetPasswordPrompt1 = "起動時にパスワードを要求するようにします。";
inline constexpr std::string_view kSetPasswordPrompt2 = "パスワードを半角英数字で入力してください。";
inline constexpr std::string_view kPasswordNotHalfWidth = "パスワードが半角でないので中止します。";
// Our own: a password the record cannot hold.
inline constexpr std::string_view kPasswordTooLong = "パスワードは半角50文字以内で入力してください。";
inline constexpr std::string_view kRemovePassword1 = "起動時のパスワード設定を無効にします。";
inline constexpr std::string_view kRemovePassword2 = "    よろしいですか？";
inline constexpr std::string_view kPasswordFileRemoved = "パスワード設定ファイルを削除しました。";
inline constexpr std::string_view kPasswordFileNotRemoved = "パスワード設定ファイルの削除に失敗しました。";
// Our own: the password is typed unseen, so it is typed twice when set.
inline constexpr std::string_view kConfirmPasswordPrompt = "確認のため、もう一度パスワードを入力してください。";
inline constexpr std::string_view kPasswordMismatch = "パスワードが一致しないので中止します。";
inline constexpr std::string_view kAskPasswordCaption = "パスワード";
inline constexpr std::string_view kAskPasswordPrompt = "パスワードを入力してください";
// Our own: the lock was on but no password was ever stored.
inline constexpr std::string_view kPasswordMissing = "起動時パスワードが設定されていないため、解除しました。";

inline constexpr std::string_view kSaveMessageFilter = "テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
// Our own: "メールを上書き保存する" on a message with an HTML part, which the text view does not show.
inline constexpr std::string_view kOverwriteHtmlRefused =
    "このメールにはテキスト表示に出ていないHTMLの部分があるため、上書き保存できません。\r\n"
    "「メールを保存する」で別のファイルに保存してください。";
inline constexpr std::string_view kDone = "完了";
// A command chosen in a window of its own while another one runs.
inline constexpr std::string_view kRunGoing = "ほかの処理（受信や送信など）の実行中です。終わってから、もう一度操作してください。";
// Another program (the window, or plumex-cli from a scheduled job) writes the store; the path follows.
inline constexpr std::string_view kStoreBusy = "メールストアは他のプログラムが使用中です: ";
// A long loop (import, rule application) ended by "中止"; what was done is kept.
inline constexpr std::string_view kStopped = "中止しました。";
// Our own: an import with no account to put the mail in.
inline constexpr std::string_view kImportNeedsAccount = "メールを取り込むアカウントがありません。";
// "メールを開く" could not read or file a file; the file and the cause follow.
inline constexpr std::string_view kOpenMessageFileFailed = "EMLファイルの読み込みに失敗しました。";
// Our own: "メールを開く" with no folder on screen to file into.
inline constexpr std::string_view kNoFolderToOpenInto = "メールを登録するフォルダが選ばれていません。";

inline constexpr std::string_view kAfterSendDir = "AfterSend";
inline constexpr std::string_view kAfterSendFile = "AfterSend.ini";
inline constexpr std::string_view kAddressDir = "Address";
inline constexpr std::string_view kHtmlScratchFile = "test.htm";

}  // namespace plumex::texts
