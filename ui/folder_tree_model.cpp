#include "ui/folder_tree_model.h"

#include "ui/icons.h"
#include "ui/qt_text.h"

namespace plumex {

FolderTreeModel::FolderTreeModel(FolderTree& tree, bool receive_tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), receive_tree_(receive_tree) {
  tree_.SetListener(this);
}

FolderTreeModel::~FolderTreeModel() { tree_.SetListener(nullptr); }

FolderNode* FolderTreeModel::NodeOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<FolderNode*>(index.internalPointer()) : nullptr;
}

QModelIndex FolderTreeModel::IndexOf(const FolderNode* node) const {
  if (!node) return {};
  return createIndex(static_cast<int>(node->Row()), 0, const_cast<FolderNode*>(node));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const FolderNode* p = NodeOf(parent);
  if (row < 0 || column != 0 || static_cast<size_t>(row) >= tree_.CountUnder(p)) return {};
  return createIndex(row, 0, tree_.At(p, static_cast<size_t>(row)));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
  const FolderNode* node = NodeOf(child);
  return node ? IndexOf(node->Parent()) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(tree_.CountUnder(NodeOf(parent)));
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  const FolderNode* node = NodeOf(index);
  if (!node) return {};
  switch (role) {
    case Qt::DisplayRole: {
      // The TAB of a label shows as a gap before the count.
      QString label = ToQ(node->Label());
      label.replace(QLatin1Char('\t'), QStringLiteral("  "));
      return label;
    }
    case Qt::EditRole:
      return ToQ(node->FolderName());
    case Qt::DecorationRole:
      if (receive_tree_) return node->Level() == 0 ? icons::ReceiveRoot() : node->Level() == 1 ? icons::Account() : icons::Folder();
      if (node->Level() == 0) return node->Row() == 0 ? icons::SendRoot() : icons::Drafts();
      return icons::Folder();
    default:
      return {};
  }
}

bool FolderTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  FolderNode* node = NodeOf(index);
  if (!node || role != Qt::EditRole || !rename) return false;
  return rename(node, value.toString());
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
  const FolderNode* node = NodeOf(index);
  if (!node) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  if (can_edit && can_edit(node)) f |= Qt::ItemIsEditable;
  return f;
}

void FolderTreeModel::BeginInsert(FolderNode* parent, size_t row) {
  beginInsertRows(IndexOf(parent), static_cast<int>(row), static_cast<int>(row));
}
void FolderTreeModel::EndInsert() { endInsertRows(); }
void FolderTreeModel::BeginRemove(FolderNode* parent, size_t row) {
  beginRemoveRows(IndexOf(parent), static_cast<int>(row), static_cast<int>(row));
}
void FolderTreeModel::EndRemove() { endRemoveRows(); }
void FolderTreeModel::LabelChanged(FolderNode* node) {
  QModelIndex i = IndexOf(node);
  emit dataChanged(i, i);
}
void FolderTreeModel::BeginReset() { beginResetModel(); }
void FolderTreeModel::EndReset() { endResetModel(); }

}  // namespace plumex
