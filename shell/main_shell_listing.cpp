// MainShell: listing a folder index, sorting, the Mark commands of the message list and the
// subjects and senders as sent.
#include <cstdlib>
#include <map>

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "shell/main_shell.h"
#include "shell/shell_texts.h"
#include "shell/shown_text.h"
#include "store/folder_label.h"
#include "store/header_errors.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// The message shown for each invalid row of a listed index.
std::string HeaderErrorMessage(const std::filesystem::path& mail_root) {
  std::string root = DisplayPath(mail_root);
  if (root.empty() || root.back() != '/') root += '/';
  return Sjis(texts::kHeaderErrors1) + "\r\n\r\n" + root + Sjis(texts::kHeaderErrors2);
}

}  // namespace

int SortKeyOf(SortKinds kind) {
  switch (kind) {
    case SortKinds::Unread: return -9;
    case SortKinds::Attachment: return -8;
    case SortKinds::Date: return 5;
    case SortKinds::Subject: return -3;
    case SortKinds::Correspondent: return -4;
  }
  return 5;
}

void MainShell::ListFolderIndex(const SortedLineList& rows) {
  if (!ui_.ShowsMessageList()) return;
  MainState& s = state_;
  ClearViewer();
  s.UnreadCount = 0;
  bool with_reference = s.ViewMode == ViewModes::Extract;
  std::vector<std::string> rejected;
  // A row of fewer than eight fields is listed with empty columns, reported to the user and
  // written to the header error file.
  list_.BeginFill(rows.Size());
  for (const std::string& line : rows.Lines()) {
    if (list_.AddRow(line, with_reference)) {
      if (list_.Mark(list_.Count() - 1) == kMarkUnread) ++s.UnreadCount;
    } else {
      rejected.push_back(line);
    }
  }
  list_.EndFill();
  ui_.ViewerChanged();
  // The messages come once the list is whole again, so that no window draws a list half-filled.
  for (size_t i = 0; i < rejected.size(); ++i) ui_.MessageBox(HeaderErrorMessage(s.MailRoot));
  if (!rejected.empty()) WriteHeaderErrors(s.MailRoot, rejected);
  // The folder is shown in the order the user chose last.
  s.SortKey = SortKeyOf(s.SortKind);
  ColumnClick(std::abs(s.SortKey) - 1);
  ui_.SetStatusText(0, std::to_string(list_.Count()) + Sjis(texts::kRowCountSuffix));
  RefreshListedLabel();
}

namespace {
// The sort key of a list column: the priority and attachment icons sort by keys of their own.
int SortKeyOfColumn(int column) { return column == 0 ? 10 : column == 1 ? 8 : column + 1; }
int ColumnOfSortKey(int key) { return key == 10 ? kColPriorityIcon : key == 8 ? kColAttachIcon : key - 1; }
bool ListKeepsItsOrder(ViewModes mode) { return mode == ViewModes::ServerDelete || mode == ViewModes::RelatedExtract; }
}  // namespace

std::optional<MainShell::SortArrow> MainShell::ListSortArrow() const {
  const MainState& s = state_;
  if (ListKeepsItsOrder(s.ViewMode) || s.SortKey == 0) return std::nullopt;
  return SortArrow{ColumnOfSortKey(std::abs(s.SortKey)), s.SortKey < 0};
}

bool MainShell::ListShowsRecipients() const {
  return state_.ViewMode == ViewModes::SendFolder || state_.ViewMode == ViewModes::Drafts;
}

void MainShell::ColumnClick(int column) {
  MainState& s = state_;
  if (ListKeepsItsOrder(s.ViewMode)) return;
  if (column < 0 || column >= kMessageColumnCount) return;
  int key = SortKeyOfColumn(column);
  int compared = column == 0 ? kColPriority : column == 1 ? kColAttachFlag : column;
  s.SortKey = std::abs(s.SortKey) == key ? -s.SortKey : key;
  list_.SortByColumn(compared, s.SortKey < 0);
}

void MainShell::ChooseSort(SortKinds kind) {
  state_.SortKind = kind;
  state_.SortKey = SortKeyOf(kind);
  ColumnClick(std::abs(state_.SortKey) - 1);
}

void MainShell::RefreshListedLabel() {
  bool send_side = state_.ViewMode == ViewModes::SendFolder || state_.ViewMode == ViewModes::Drafts;
  FolderTree& tree = send_side ? send_tree_ : receive_tree_;
  if (FolderNode* node = tree.Selected()) tree.SetLabel(node, LabelOfFolder(node->FolderName(), state_.UnreadCount));
}

MainShell::IndexOnScreen MainShell::CurrentListedIndex() {
  MainState& s = state_;
  switch (s.ViewMode) {
    case ViewModes::SendFolder:
      if (s.CurrentSendFolderPath.empty()) return {};
      if (s.CurrentSendFolderPath == SendFolderPath())
        return {&s.SendRootIndex, Native(SendFolderPath()) / std::string(kSendIndexName)};
      return {&s.SendFolderIndex, Native(s.CurrentSendFolderPath) / std::string(kSendIndexName)};
    case ViewModes::Drafts:
      return {&s.DraftIndex, Native(DraftFolderPath()) / std::string(kDraftIndexName)};
    default:
      if (s.CurrentFolderPath.empty()) return {};
      return {&s.CurrentIndex, Native(s.CurrentFolderPath) / std::string(kReceiveIndexName)};
  }
}

namespace {

// The stored row with its Mark replaced; every other field stays as the index holds it.
std::string WithMark(std::string_view stored, std::string_view mark) {
  std::vector<std::string> fields = SplitTabLine(stored);
  if (fields.size() <= IndexRow::kMark) return std::string(stored);
  fields[IndexRow::kMark] = std::string(mark);
  return JoinTabLine(fields);
}

}  // namespace

// The indexes a mark command writes: the index on screen, and in an extraction view the index
// of each listed row's own folder (loaded once per command).
struct MainShell::MarkTargets {
  struct Loaded {
    FolderIndex index;
    std::filesystem::path file;
    bool changed = false;
  };
  IndexOnScreen on_screen;
  bool on_screen_changed = false;
  std::map<std::string, Loaded> others;
};

bool MainShell::MarkStoredRow(size_t row, std::string_view mark, MarkTargets& targets) {
  const std::string id(list_.MessageId(row));
  FolderIndex* index = targets.on_screen.index;
  bool* changed = &targets.on_screen_changed;
  if (state_.ViewMode == ViewModes::Extract) {
    const std::string folder(list_.Column(row, kColReference));
    const bool on_screen_folder = state_.ActiveTree == Trees::Receive && folder == state_.CurrentFolderPath;
    if (!on_screen_folder) {
      auto [it, fresh] = targets.others.try_emplace(folder);
      if (fresh) {
        const std::string_view name = state_.ActiveTree == Trees::Receive ? kReceiveIndexName
                                      : folder == DraftFolderPath()       ? kDraftIndexName
                                                                          : kSendIndexName;
        it->second.file = Native(folder) / std::string(name);
        it->second.index = FolderIndex::LoadIfExists(it->second.file);
      }
      index = &it->second.index;
      changed = &it->second.changed;
    }
  }
  if (!index) return false;
  const std::optional<size_t> position = FindRow(*index, id);
  if (!position) return false;
  const std::string stored = index->Rows()[*position];
  if (FieldOf(stored, IndexRow::kMark) == mark) return true;
  index->Rows().RemoveAt(*position);
  index->Add(WithMark(stored, mark));
  *changed = true;
  return true;
}

void MainShell::SaveMarkTargets(MarkTargets& targets) {
  if (targets.on_screen.index && targets.on_screen_changed) targets.on_screen.index->Save(targets.on_screen.file);
  for (auto& [folder, loaded] : targets.others)
    if (loaded.changed) loaded.index.Save(loaded.file);
}

void MainShell::MarkSelected(std::string_view mark) {
  if (IsServerList(state_.ViewMode)) return;  // server rows are no stored messages
  MarkTargets targets;
  targets.on_screen = CurrentListedIndex();
  for (size_t row : list_.Selection()) {
    if (!list_.IsValid(row) || list_.Mark(row) == mark) continue;
    list_.SetMark(row, mark);
    MarkStoredRow(row, mark, targets);
  }
  SaveMarkTargets(targets);
  if (!targets.on_screen.index) return;
  state_.UnreadCount = CountUnread(*targets.on_screen.index);
  RefreshListedLabel();
}

void MainShell::ColourMark(std::string_view mark) {
  if (IsServerList(state_.ViewMode)) return;  // a server row must not recolour a local copy
  auto selection = list_.Selection();
  if (selection.empty()) return;
  size_t row = selection.front();
  if (!list_.IsValid(row)) return;
  list_.SetMark(row, mark);
  MarkTargets targets;
  targets.on_screen = CurrentListedIndex();
  MarkStoredRow(row, mark, targets);
  SaveMarkTargets(targets);
}

// The message list's subjects and senders as sent.
std::optional<std::string> MainShell::ShownColumn(size_t display_row, int column) {
  if ((column != kColSubject && column != kColCorrespondent) || display_row >= list_.Count() ||
      !list_.IsValid(display_row))
    return std::nullopt;
  if (!MayHaveSubstitute(list_.Column(display_row, column))) return std::nullopt;
  const std::string dir = MessageDirOf(display_row);
  const std::string id(list_.MessageId(display_row));
  const std::string cache_key = dir + '\t' + id;
  auto it = shown_columns_.find(cache_key);
  if (it == shown_columns_.end()) {
    // Only rows on screen are asked for; the cache is bounded all the same.
    if (shown_columns_.size() >= 4096) shown_columns_.clear();
    std::pair<std::string, std::string> texts =
        ShownSubjectAndSender(Native(dir), list_.RebuildRow(display_row));
    it = shown_columns_.emplace(cache_key, std::move(texts)).first;
  }
  return column == kColSubject ? it->second.first : it->second.second;
}

}  // namespace plumex
