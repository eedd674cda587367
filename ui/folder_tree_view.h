// The views of the main window's folder trees and message list: Qt's tree view with the few
// ways they differ in how they follow the keys, the mouse and a drop.
#pragma once

#include <QTreeView>
#include <functional>

namespace plumex {

// A folder tree whose selection follows left clicks only: a right click opens the context
// menu on the selection as it stands. Rows of the message list dropped on a node move there.
class FolderTreeView : public QTreeView {
 public:
  using QTreeView::QTreeView;
  // Whether rows may drop on the node, and the drop itself (run once the drag's loop ended).
  std::function<bool(const QModelIndex&)> can_drop;
  std::function<void(const QModelIndex&)> drop;
  // The keyboard moved the highlight to another node.
  std::function<void(const QModelIndex&)> key_moved;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool AcceptsRows(QDropEvent* event) const;
};

// The message list: a row the arrow keys move to is shown, as a click shows it, so the
// message on screen is always the highlighted one and every command acts on it.
class MessageListView : public QTreeView {
 public:
  using QTreeView::QTreeView;
  std::function<void(const QModelIndex&)> key_moved;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace plumex
