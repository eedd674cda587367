// The search box of the main window, beside the extraction it shares its result view with.
#include <cstdlib>

#include "platform/sjis_text.h"
#include "search/indexed_search.h"
#include "search/search_texts.h"
#include "shell/search_commands.h"
#include "store/store_layout.h"

namespace plumex {

bool SearchCommands::SearchBox(const std::string& key, bool all_folders) {
  if (walking_ || key.empty()) return false;
  std::vector<std::string> folders;
  if (all_folders) folders = {ReceiveRootName() + "\\", SendFolderPath()};
  else folders = {SearchedFolderPath()};
  if (folders.front().empty()) return false;
  auto run = shell_.Gate().TryEnter(RunKind::Search);
  if (!run) return false;

  walking_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{walking_};
  MainState& s = shell_.State();
  UiPort& ui = shell_.Ui();
  searched_folder_ = all_folders ? std::string() : folders.front();
  result_rows_.clear();
  result_group_starts_.clear();
  shell_.List().Clear();
  shell_.EmptyViewer();
  s.ViewMode = ViewModes::Extract;
  ui.SetStatusText(0, Sjis(texts::kSearching));
  ui.SetStatusText(1, Sjis(texts::kExtractModeStatus));
  ui.SetModeLabel(Sjis(texts::kModeExtract), 0xFFFF00);
  std::vector<std::string> rows;
  for (const std::string& folder : folders) {
    ExtractionResult found = FindMessages(s.MailRoot, folder, key, ui, run->StopFlag(), SearchWay::BuildIndex);
    ui.SetProgress(0, 0);
    // A stop, or another list put on screen while the search let the window run: nothing shown.
    if (found.stopped || s.ViewMode != ViewModes::Extract) return false;
    rows.insert(rows.end(), std::make_move_iterator(found.rows.begin()), std::make_move_iterator(found.rows.end()));
  }
  result_rows_ = std::move(rows);
  if (ui.ShowsMessageList()) {
    ShowRows(false);
    s.SortKey = SortKeyOf(s.SortKind);
    shell_.ColumnClick(std::abs(s.SortKey) - 1);
  }
  ui.SetStatusText(0, std::to_string(result_rows_.size()) + Sjis(texts::kCountSuffix));
  return true;
}

}  // namespace plumex
