// The merge sheet's grid as a table model: the view asks only for the cells it shows, so a
// sheet of 100,000 rows makes no widget or item per cell.
#pragma once

#include <QAbstractTableModel>

namespace plumex {

class SheetGrid;

class SheetModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit SheetModel(SheetGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The grid changed as a whole (loaded, resized, rows or columns inserted or removed).
  void Reload();

 private:
  SheetGrid& grid_;
};

}  // namespace plumex
