// The search box of the main window, beside the extraction it shares its result view with.
#include <cstdlib>

#include "text/sjis_text.h"
#include "search/indexed_search.h"
#include "search/search_texts.h"
#include "shell/scoped_flag.h"
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

  ScopedFlag walking(walking_);
  MainState& s = shell_.State();
  UiPort& ui = shell_.Ui();
  EnterExtractMode(all_folders ? std::string() : folders.front());
  std::vector<std::string> rows;
  for (const std::string& folder : folders) {
    ExtractionResult found = FindMessages(s.MailRoot, folder, key, ui, run->StopFlag(), SearchWay::BuildIndex);
    ui.SetProgress(0, 0);
    // A stop, or another list put on screen while the search let the window run: nothing shown.
    if (found.stopped || s.ViewMode != ViewModes::Extract) return false;
    rows.insert(rows.end(), std::make_move_iterator(found.rows.begin()), std::make_move_iterator(found.rows.end()));
  }
  ShowExtracted(std::move(rows));
  return true;
}

}  // namespace plumex
