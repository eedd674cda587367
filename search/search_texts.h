// Fixed texts of the searches, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

#include "store/store_texts.h"  // the keys of a message file

namespace plumex::texts {

inline constexpr std::string_view kSubjectSearchCaption = "件名でメール検索";
inline constexpr std::string_view kSubjectSearchPrompt = "件名を入力してください";
inline constexpr std::string_view kSearchAgain = "最後まで検索しましたが、見つかりません。\r\n\r\n  ..最初から検索しますか？";

inline constexpr std::string_view kExtractCaption = "メール抽出";
inline constexpr std::string_view kFolderOpen = "現在のフォルダ【";
inline constexpr std::string_view kFolderClose = "】";
inline constexpr std::string_view kNoMailInFolder = "】には、メールが存在しません";
inline constexpr std::string_view kExtractPrompt2 = "内のメール中から抽出します。";
inline constexpr std::string_view kExtractPrompt3 = "   検索キーを入力してください";
inline constexpr std::string_view kSearching = "検索しています...";
inline constexpr std::string_view kExtractModeStatus = "抽出モードです。";
inline constexpr std::string_view kModeExtract = "抽出";
inline constexpr std::string_view kModeRelated = "関連";
inline constexpr std::string_view kNoRelated = "該当ファイルはありませんでした";
inline constexpr std::string_view kCountSuffix = "件";

inline constexpr std::string_view kRelatedIndexName = "Ref.ini";

// The words of a reply's and a forward's subject prefix, as threads read them.
inline constexpr std::string_view kReplyPrefixWord = "返信";
inline constexpr std::string_view kForwardPrefixWord = "転送";

inline constexpr std::string_view kIndexFileError = "検索用の索引ファイルを読み書きできません: ";
inline constexpr std::string_view kIndexDamaged = "検索用の索引ファイルが壊れています: ";
inline constexpr std::string_view kIndexBuilding = "検索用の索引を作成しています...";

// The Japanese collation could not start (ICU's data is missing or damaged); ICU's error name follows.
inline constexpr std::string_view kNoJapaneseCollation = "日本語の並べ替えの規則 (ICU の ja) を読み込めませんでした: ";
inline constexpr std::string_view kNoCp932Converter = "コードページ 932 の変換表 (ICU の windows-31j) を読み込めませんでした: ";

}  // namespace plumex::texts
