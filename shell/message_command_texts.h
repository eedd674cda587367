// Fixed texts of moving, deleting and maintenance, in UTF-8; pass them through Sjis().
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kDuplicateSubjectOpen = "件名『";
inline constexpr std::string_view kDuplicateSubjectClose = "』";
inline constexpr std::string_view kDuplicateCannotMove = "はすでに同一メールが存在するので移動できません。";
inline constexpr std::string_view kDeleteSelected = "選択中のメールをパソコン内から削除します。";
inline constexpr std::string_view kDeleteFolderMail = "選択中のフォルダ内の全メールを削除します。";
inline constexpr std::string_view kAreYouSure = "　　...よろしいですか？";
inline constexpr std::string_view kChooseAccountFirst = "アカウントフォルダを選択してから実行してください。";
inline constexpr std::string_view kMaintain1 = "「重複メッセージの削除」や「メールの基本情報の復旧」などの";
inline constexpr std::string_view kMaintain2 = "　メンテナンスを開始します。";
inline constexpr std::string_view kMaintain3 = "     ．．．よろしいですか？";
inline constexpr std::string_view kCompleted = "完了しました";

// Our own: the rows whose files stayed where they were, reported once per command, each as
// 件名『subject』 and the reason.
inline constexpr std::string_view kNotMoved = "次のメールは移動できませんでした。";
inline constexpr std::string_view kNotDeleted = "次のメールは削除できませんでした。";
inline constexpr std::string_view kReasonDenied = "書き込みが許可されていません";
inline constexpr std::string_view kReasonReadOnly = "読み取り専用の場所です";
inline constexpr std::string_view kReasonNoSpace = "ディスクの空き容量が足りません";
inline constexpr std::string_view kReasonInTheWay = "同じ名前のファイルやフォルダがあります";
inline constexpr std::string_view kReasonNotListed = "元のフォルダの一覧にありません";
inline constexpr std::string_view kReasonOther = "ファイルを操作できませんでした";

}  // namespace plumex::texts
