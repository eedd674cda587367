// Fixed texts of the address books, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kBookFolder = "Address";
inline constexpr std::string_view kBookExtension = ".adr";
inline constexpr std::string_view kAddressRoot = "Address";
inline constexpr std::string_view kNoBookChosen = "未選択";

inline constexpr std::string_view kNewBookCaption = "新しいアドレス帳の作成";
inline constexpr std::string_view kNewBookPrompt = "新しいアドレス帳の名前を入力してください。";
inline constexpr std::string_view kBookExists = "同一名称のアドレス帳が既に存在します";
inline constexpr std::string_view kRenameToExisting = "既に存在するアドレス帳への変更はできません。";
// Our own: a name that cannot be a file name of the Address folder.
inline constexpr std::string_view kBadBookName = "アドレス帳の名前に使えない文字が含まれています。";
inline constexpr std::string_view kDeleteBook1 = "アドレス帳「";
inline constexpr std::string_view kDeleteBook2 = "」を削除してもよろしいですか?";
inline constexpr std::string_view kNameAndAddressRequired = "宛名とアドレスだけは入力してください。";
inline constexpr std::string_view kCreateBookFirst = "アドレス帳を作成してください";
inline constexpr std::string_view kNoBookSelected = "アドレス帳が選択されていません";
inline constexpr std::string_view kDeleteRecord1 = "を削除します。";
inline constexpr std::string_view kDeleteRecord2 = "... よろしいですか？";
inline constexpr std::string_view kCancelAdding = "メールアドレスの追加をキャンセルします。";
inline constexpr std::string_view kSaveOrCancel = "保存、中止のどちらかを選択してください。";
inline constexpr std::string_view kNoToEntries = "TO欄に宛先がありません";
inline constexpr std::string_view kExportFilter = "テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
inline constexpr std::string_view kExported = "エクスポートしました";
inline constexpr std::string_view kSheetTitle = "宛先";
// Our own: plumex-cli names a book that is not in the Address folder.
inline constexpr std::string_view kNoSuchBook = "アドレス帳がありません: ";

}  // namespace plumex::texts
