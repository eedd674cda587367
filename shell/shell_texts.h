// Fixed texts of the main window's commands, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kNoAccountFile1 = "アカウントが設定されていません。";
inline constexpr std::string_view kNoAccountFile2 = "メニューバーの「設定」－「アカウント」で設定してください。";
inline constexpr std::string_view kAccountLabelPrefix = "ｱｶｳﾝﾄ:";
inline constexpr std::string_view kBadPassword = "パスワードが間違っています。起動は失敗です。";
inline constexpr std::string_view kAfterSendPending1 = "時差送信設定が残っています。";
inline constexpr std::string_view kAfterSendPending2 = "時差送信を解除し、Plumexを終了させますか？";
inline constexpr std::string_view kRowCountSuffix = "件";
inline constexpr std::string_view kHeaderErrors1 = "読み込めないメールのヘッダ情報が存在します。";
inline constexpr std::string_view kHeaderErrors2 = "HeaderERR.iniとして別に保存しておきます。";

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

// Runs and their status.
inline constexpr std::string_view kDisconnected = "切断しました";
inline constexpr std::string_view kSent = "送信しました";
inline constexpr std::string_view kEmlUnreadable = "EMLファイルの読み込みに失敗しました。";
inline constexpr std::string_view kRuleTargetMissing1 = "メッセージルールで移動先としたフォルダにアクセスできません。";
inline constexpr std::string_view kRuleTargetMissing2 = "受信フォルダ下へ「";
inline constexpr std::string_view kRuleTargetMissing3 = "」を作成してください";
inline constexpr std::string_view kApplyRules1 = "内のメールを登録されたルールにしたがって";
inline constexpr std::string_view kApplyRules2 = "指定したフォルダへ移動します。";
inline constexpr std::string_view kApplyRulesDeletes = "「削除」のルールに合うメールは削除します（元に戻せません）。";
inline constexpr std::string_view kApplyRulesConfirm = "   よろしいですか？";

// The new-mail check.
inline constexpr std::string_view kModeNewCheck = "新着";
inline constexpr std::string_view kNewCheckStatus1 = "新着ﾁｪｯｸ中（";
inline constexpr std::string_view kNewCheckStatus2 = "秒間隔）";
inline constexpr std::string_view kNewCheckStopped = "新着チェックを中断します。";
inline constexpr std::string_view kForwardFailed = "自動転送できませんでした（次回の確認で再送します）: ";

// Server delete mode.
inline constexpr std::string_view kServerDelete1 = "選択した";
inline constexpr std::string_view kServerDelete2 = "件のメールをサーバから削除します。";
inline constexpr std::string_view kServerDelete3 = "削除したメールは元に戻せません。よろしいですか？";
inline constexpr std::string_view kDeleteByNumberCaption = "直接削除";
inline constexpr std::string_view kDeleteByNumberPrompt = "削除したいメールの番号を入力してください。";
inline constexpr std::string_view kNotANumber = "数値以外は指定できません。";
inline constexpr std::string_view kDeleteThisMessage = "次のメールを削除しますか？";
inline constexpr std::string_view kDeleteDone = "削除完了!";
inline constexpr std::string_view kEnterDeleteModeFirst = "削除モードにしてから選択してください。";
inline constexpr std::string_view kNothingToReceive = "受信したいメールが指定されていません。";
inline constexpr std::string_view kServerChangedNotReceived =
    "一覧を作った後にサーバ上のメールが変わったため、次のメールは受信していません。";
inline constexpr std::string_view kServerChangedNotDeleted =
    "一覧を作った後にサーバ上のメールが変わったため、次のメールは削除していません。";

// The header lines of a shown message, as printed.
inline constexpr std::string_view kShownAttachment = "添付: ";

// Composing and sending.
inline constexpr std::string_view kNoMergeSheet = "差し込むファイルが指定されていません";
inline constexpr std::string_view kNoRecipient = "あて先が指定されていません";
inline constexpr std::string_view kNoSubject = "件名はマナーとして入れましょう";
inline constexpr std::string_view kRecipientWithoutAddress =
    "メールアドレスのないあて先があります。メールアドレスを入力してください。";
inline constexpr std::string_view kBadSender = "送信元の情報に間違いがあります";
inline constexpr std::string_view kReplySubjectPrefix = "返信:";
inline constexpr std::string_view kForwardSubjectPrefix = "転送:";
inline constexpr std::string_view kReplyToCaption = "返信先のメールアドレス";
inline constexpr std::string_view kReplyToPrompt1 = "　このメール送信時のみ、相手からの返信先を変更します";
inline constexpr std::string_view kReplyToPrompt2 = "返信先のメールアドレスを入力してください。";

// Links.
inline constexpr std::string_view kLinkShowsAnother1 = "注意：リンクの文字は「";
inline constexpr std::string_view kLinkShowsAnother2 = "」を示していますが、";
inline constexpr std::string_view kLinkShowsAnother3 = "実際のリンク先は「";
inline constexpr std::string_view kLinkShowsAnother4 = "」です。";
inline constexpr std::string_view kLinkShowsAnother5 = "偽のリンクかもしれません。";
inline constexpr std::string_view kOpenLink = "次のリンク先をブラウザで開きます。";
inline constexpr std::string_view kOpenLinkConfirm = "よろしいですか？";
inline constexpr std::string_view kLinkRefused = "このリンクは開けません。";
inline constexpr std::string_view kDeceptiveLink1 = "このリンクは表示されているアドレスと実際の行き先が違います。";
inline constexpr std::string_view kDeceptiveLinkShown = "表示: ";
inline constexpr std::string_view kDeceptiveLinkTarget = "実際の行き先: ";
inline constexpr std::string_view kDeceptiveLink2 = "偽のサイトに誘導される恐れがあります。このリンクを開きますか？";

}  // namespace plumex::texts
