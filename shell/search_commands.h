// The search commands of the main window: the subject search and its search-next, the
// extraction ("メールの抽出") and the related-mail extraction ("関連付け抽出"). The body search
// of the viewer lives with the viewer's widget; everything here runs the same in the window,
// plumex-cli and the tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "search/indexed_search.h"
#include "search/text_collation.h"
#include "shell/main_shell.h"

namespace plumex {

class SearchCommands {
 public:
  explicit SearchCommands(MainShell& shell);

  // "件名でﾒｰﾙの検索": asks for a key and chooses the first row whose subject holds it.
  void SearchSubject();
  bool HasSubjectKey() const { return !subject_key_.empty(); }
  // "件名で次を検索": once a subject has been searched for, while the list has rows.
  bool CanSearchNext() const;
  // "件名で次を検索": the next row from the remembered position, asking to start over at the end.
  void SearchNext();

  // "メールの抽出": asks for a key (unless one is given, as plumex-cli does), then lists every
  // message file of the folder searched (with its subfolders) that holds it. True when the
  // walk ran to its end; nothing happens while a walk is already going on.
  bool Extract(const std::optional<std::string>& key = std::nullopt);
  // The search box above the list: the messages holding key in the folder searched (as the
  // extraction's) or, with all_folders, in every account and the send tree, shown as the
  // extraction shows its result, so its rows open, move, delete and take marks the same way.
  // The full-text index answers; it is built first when missing (progress shown, Escape
  // stops). True when the search ran to its end.
  bool SearchBox(const std::string& key, bool all_folders);
  bool Searching() const { return walking_; }

  // "関連付け抽出": the groups of the current folder's rows that share a SubjectKey, written
  // to its Ref.ini. True when it ran to its end.
  bool RelatedExtract();

  // The rows of the last extraction (index row, TAB, folder) or related-mail extraction
  // (index row, TAB, SubjectKey), whether or not a message list shows them; with the first
  // row of each related group marked.
  const std::vector<std::string>& ResultRows() const { return result_rows_; }
  const std::vector<bool>& ResultGroupStarts() const { return result_group_starts_; }
  // The folder the last extraction searched (store path), or empty.
  const std::string& SearchedFolder() const { return searched_folder_; }

  // Whether the extraction goes through the full-text index (by default: when it is there).
  void SetSearchWay(SearchWay way) { search_way_ = way; }

  // The order related groups are sorted in; Japanese unless a window or test hands in another.
  void SetCollation(std::unique_ptr<TextCollation> collation) { collation_ = std::move(collation); }

 private:
  // The folder extraction searches: the send tree's chosen folder when that tree is in use,
  // otherwise the folder on screen.
  std::string SearchedFolderPath();
  size_t RowCountOf(const std::string& folder) const;
  bool SubjectMatches(size_t display_row) const;
  void ChooseRow(std::optional<size_t> row, bool to_top);
  bool AskSearchAgain();
  void ShowRows(bool with_groups);
  // Empties the result view and enters extraction mode for a walk over searched_folder (empty:
  // every folder).
  void EnterExtractMode(const std::string& searched_folder);
  // Shows the rows a walk found, sorted as the list was, and their number.
  void ShowExtracted(std::vector<std::string> rows);

  MainShell& shell_;
  std::string subject_key_;
  // The subject key as typed (UTF-8) when it carries characters code page 932 lacks, else empty.
  std::string subject_key_as_typed_;
  long long position_ = -1;
  bool walking_ = false;
  std::string searched_folder_;
  std::vector<std::string> result_rows_;
  std::vector<bool> result_group_starts_;
  std::unique_ptr<TextCollation> collation_;
  SearchWay search_way_ = SearchWay::IndexWhenPresent;
};

}  // namespace plumex
