// Listing a folder index, sorting, and the Mark commands of the message list.
#include <cstdlib>

#include "platform/sjis_text.h"
#include "shell/main_shell.h"
#include "shell/shell_texts.h"
#include "store/folder_label.h"
#include "store/header_errors.h"
#include "store/index_row.h"
#include "store/store_layout.h"

namespace plumex {

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

void MainShell::ClearViewer() {
  ViewerContent& v = state_.Viewer;
  v.header_text.clear();
  v.body_text.clear();
  v.text_view.clear();
  v.attachment_names.clear();
  v.message_file.clear();
  v.shown_row.clear();
  v.attachments.clear();
  v.attachment_dir.clear();
  v.preview = ViewerContent::Preview::Hidden;
  v.preview_file.clear();
  v.preview_text.clear();
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

void MainShell::ColumnClick(int column) {
  MainState& s = state_;
  if (s.ViewMode == ViewModes::ServerDelete || s.ViewMode == ViewModes::RelatedExtract) return;
  if (column < 0 || column >= kMessageColumnCount) return;
  int key = column == 0 ? 10 : column == 1 ? 8 : column + 1;
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

void MainShell::MarkSelected(std::string_view mark) {
  IndexOnScreen target = CurrentListedIndex();
  bool changed = false;
  for (size_t row : list_.Selection()) {
    if (!list_.IsValid(row) || list_.Mark(row) == mark) continue;
    std::string id(list_.MessageId(row));
    list_.SetMark(row, mark);
    changed = true;
    if (!target.index) continue;
    if (auto position = FindRow(*target.index, id)) {
      target.index->Rows().RemoveAt(*position);
      target.index->Add(list_.RebuildRow(row));
    }
  }
  if (!target.index) return;
  state_.UnreadCount = CountUnread(*target.index);
  RefreshListedLabel();
  if (changed) target.index->Save(target.file);
}

void MainShell::ColourMark(std::string_view mark) {
  auto selection = list_.Selection();
  if (selection.empty()) return;
  size_t row = selection.front();
  if (!list_.IsValid(row)) return;
  std::string id(list_.MessageId(row));
  list_.SetMark(row, mark);
  IndexOnScreen target = CurrentListedIndex();
  if (target.index) ChangeRow(*target.index, id, list_.RebuildRow(row), target.file);
}

}  // namespace plumex
