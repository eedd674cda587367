#include "ui/folder_tree_view.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

#include "ui/message_list_model.h"

namespace plumex {
namespace {

// Tells key_moved when a key press moved the highlight away from `before` to another row.
void TellIfMoved(const QTreeView* view, const QModelIndex& before,
                 const std::function<void(const QModelIndex&)>& key_moved) {
  if (view->currentIndex() != before && view->currentIndex().isValid() && key_moved) key_moved(view->currentIndex());
}

}  // namespace

bool FolderTreeView::AcceptsRows(QDropEvent* event) const {
  return event->mimeData()->hasFormat(MessageListModel::RowsMimeType()) && can_drop &&
         can_drop(indexAt(event->position().toPoint()));
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(MessageListModel::RowsMimeType())) event->acceptProposedAction();
  else event->ignore();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event) {
  if (AcceptsRows(event)) event->acceptProposedAction();
  else event->ignore();
}

void FolderTreeView::dropEvent(QDropEvent* event) {
  if (!AcceptsRows(event)) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  const QModelIndex target = indexAt(event->position().toPoint());
  // The drag's own loop ends first; the move may ask questions.
  QTimer::singleShot(0, this, [this, target = QPersistentModelIndex(target)] {
    if (drop) drop(target);
  });
}

void FolderTreeView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
}

void FolderTreeView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex before = currentIndex();
  QTreeView::keyPressEvent(event);
  TellIfMoved(this, before, key_moved);
}

void MessageListView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex before = currentIndex();
  QTreeView::keyPressEvent(event);
  TellIfMoved(this, before, key_moved);
}

}  // namespace plumex
