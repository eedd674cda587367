// The list view of the address book window over the records the address book commands hold:
// one row per record in the order shown, no widget per row.
#pragma once

#include <QAbstractTableModel>

namespace plumex {

class AddressBookCommands;

class AddressRecordModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Columns "宛名", "アドレス", "備考" and the hidden "レコード番号".
  static constexpr int kRecordNumberColumn = 3;

  explicit AddressRecordModel(AddressBookCommands& books, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The record a row shows (its "レコード番号").
  size_t RecordAt(int row) const;
  // The records or their order changed.
  void Refill();

 private:
  AddressBookCommands& books_;
};

}  // namespace plumex
