// TreeView1 / TreeView2's model: a view over a FolderTree of the shell.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <functional>

#include "shell/folder_tree.h"

namespace plumex {

class FolderTreeModel : public QAbstractItemModel, private FolderTree::Listener {
  Q_OBJECT
 public:
  FolderTreeModel(FolderTree& tree, bool receive_tree, QObject* parent = nullptr);
  ~FolderTreeModel() override;

  // In-place editing: which nodes may be edited, and what to do with the new text (false
  // keeps the old label).
  std::function<bool(const FolderNode*)> can_edit;
  std::function<bool(FolderNode*, const QString&)> rename;

  FolderNode* NodeOf(const QModelIndex& index) const;
  QModelIndex IndexOf(const FolderNode* node) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void BeginInsert(FolderNode* parent, size_t row) override;
  void EndInsert() override;
  void BeginRemove(FolderNode* parent, size_t row) override;
  void EndRemove() override;
  void LabelChanged(FolderNode* node) override;
  void BeginReset() override;
  void EndReset() override;

  FolderTree& tree_;
  bool receive_tree_;
};

}  // namespace plumex
