// The search commands of the main window: the subject search and search-next, the search in
// the shown message, the extraction and the related-mail extraction.
#include <QAction>
#include <QItemSelectionModel>
#include <QTreeView>

#include "ui/body_find.h"
#include "ui/frm_main.h"
#include "ui/message_list_model.h"

namespace plumex {

void TfrmMain::ChooseListRow(std::optional<size_t> display_row, bool to_top) {
  QItemSelectionModel* selection = ListView1_->selectionModel();
  if (!display_row) {
    selection->clearSelection();
    return;
  }
  QModelIndex index = list_model_->index(static_cast<int>(*display_row), kColSubject);
  if (!index.isValid()) return;
  selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ListView1_->scrollTo(index, to_top ? QAbstractItemView::PositionAtTop : QAbstractItemView::EnsureVisible);
  ListView1_->setFocus();
}

BodyFinder* TfrmMain::BodyFind() {
  if (!body_finder_) body_finder_ = new BodyFinder(memBody_, *port_, this);
  return body_finder_;
}

// "件名で次を検索" acts once a subject has been searched for and while the list has rows.
void TfrmMain::ConnectSearchNext(QAction* search_next) {
  auto update = [this, search_next] {
    search_next->setEnabled(core_->Search().CanSearchNext());
  };
  update();
  connect(list_model_, &QAbstractItemModel::modelReset, this, update);
  search_next_update_ = update;
}

void TfrmMain::mnuSearchSubjectClick() {
  core_->Search().SearchSubject();
  if (search_next_update_) search_next_update_();
}

void TfrmMain::mnuSearchNextClick() { core_->Search().SearchNext(); }

void TfrmMain::mnuFindInBodyClick() { BodyFind()->Open(); }

void TfrmMain::mnuExtractClick() { core_->Search().Extract(); }

void TfrmMain::mnuRelatedClick() { core_->Search().RelatedExtract(); }

}  // namespace plumex
