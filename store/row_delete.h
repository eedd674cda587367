// Deleting messages from a folder as the store sees it: their files, their rows, their ids in
// the account's fetched-id list and their lines in "Ref.ini". Usable without a window.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "store/message_files.h"
#include "store/received_id_list.h"
#include "store/row_move.h"
#include "store/sorted_line_list.h"

namespace plumex {

struct DeletePlace {
  SortedLineList* index = nullptr;
  std::filesystem::path index_file;
  std::filesystem::path dir;  // the message files
  AttachmentForm attachments = AttachmentForm::Directory;
  bool every_row_of_id = false;  // send folders: a second row with the same id goes too
  ReceivedIdList* ids = nullptr;  // null: no fetched-id list (send folders, drafts)
  std::filesystem::path ids_file;
  bool ref_lines = false;  // a receive folder: its "Ref.ini" loses the message's line
};

struct DeleteResult {
  std::vector<std::string> deleted_ids;
  // Rows whose message file could not be deleted (they stay listed), or whose attachments
  // could not (the row went with the message).
  std::vector<RowFailure> failed;
};

// Deletes the messages of these rows (eight fields each; only the id is used). Deleting cannot
// be undone, so a row leaves its index only when its message file is gone. The index, the id
// list and "Ref.ini" are each written once.
DeleteResult DeleteRows(const std::vector<std::string>& rows, DeletePlace& place);

}  // namespace plumex
