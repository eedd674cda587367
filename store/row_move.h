// Moving index rows with their messages from one folder to another, as the store sees it: the
// rows, the message files, both indexes and the accounts' lists of fetched ids. Usable without a
// window; the commands of the main window and plumex-cli build on it.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "store/received_id_list.h"
#include "store/sorted_line_list.h"

namespace plumex {

// What happens to the message files of a moved row.
enum class FileAction {
  Move,  // rows from a receive folder: files and attachments go to the target directory
  Copy,  // rows of a send folder dropped on a receive folder: copied, the source row stays
  None,  // between send folders: every file stays in "送信\", only the row moves
};

// One end of a move. The source index is held by the caller (it may be the folder on screen);
// the target index is read from its file, changed and written back by MoveRows.
struct MoveSource {
  SortedLineList* index = nullptr;  // rows are taken out of it (unless files are copied)
  std::filesystem::path index_file;
  std::filesystem::path dir;  // the message files
  ReceivedIdList* ids = nullptr;  // the account's fetched ids; null for a send folder
  std::filesystem::path ids_file;
};

struct MoveTarget {
  std::filesystem::path index_file;  // created empty when missing
  std::filesystem::path dir;
  ReceivedIdList* ids = nullptr;
  std::filesystem::path ids_file;
};

struct MoveOptions {
  FileAction files = FileAction::Move;
  bool check_duplicates = true;  // a row whose id the target already lists stays where it is
  bool same_account = true;      // ids leave and join the fetched-id lists only across accounts
};

struct RowFailure {
  std::string row;
  std::error_code error;
};

struct MoveResult {
  std::vector<std::string> moved_ids;   // in the order of the rows given
  std::vector<std::string> duplicates;  // rows the target already listed
  std::vector<RowFailure> failed;       // rows whose files could not move: they stayed
  bool source_changed = false;
  bool target_changed = false;
};

// Moves the rows (eight fields each, in list order). The target index is written first, then
// the source index, then the fetched-id lists, each once: a crash in between leaves a row
// listed twice, never a message listed nowhere.
MoveResult MoveRows(const std::vector<std::string>& rows, MoveSource& source, MoveTarget& target,
                    const MoveOptions& options);

}  // namespace plumex
