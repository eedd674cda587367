#include "ui/sheet_model.h"

#include <QColor>

#include "send/merge_sheet.h"
#include "ui/qt_text.h"

namespace plumex {

SheetModel::SheetModel(SheetGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

int SheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(grid_.Rows());
}

int SheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(grid_.Columns());
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<size_t>(index.row());
  const auto column = static_cast<size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return ToQ(grid_.Cell(row, column));
    // The title row stands out in green, its text in the top-left corner.
    case Qt::BackgroundRole: return row == 0 ? QVariant(QColor(0, 255, 0)) : QVariant();
    case Qt::ForegroundRole: return row == 0 ? QVariant(QColor(Qt::black)) : QVariant();
    case Qt::TextAlignmentRole:
      return row == 0 ? QVariant(int(Qt::AlignLeft | Qt::AlignTop)) : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default: return {};
  }
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  grid_.SetCell(static_cast<size_t>(index.row()), static_cast<size_t>(index.column()), FromQ(value.toString()));
  emit dataChanged(index, index);
  return true;
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

void SheetModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace plumex
