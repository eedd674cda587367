#include "ui/address_record_model.h"

#include "shell/address_book_commands.h"
#include "ui/qt_text.h"

namespace plumex {

AddressRecordModel::AddressRecordModel(AddressBookCommands& books, QObject* parent)
    : QAbstractTableModel(parent), books_(books) {}

int AddressRecordModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(books_.RowOrder().size());
}

int AddressRecordModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

size_t AddressRecordModel::RecordAt(int row) const { return books_.RowOrder().at(static_cast<size_t>(row)); }

QVariant AddressRecordModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  const size_t record = RecordAt(index.row());
  if (record >= books_.Records().size()) return {};
  const AddressRecord& r = books_.Records()[record];
  switch (index.column()) {
    case 0: return ToQ(r.name);
    case 1: return ToQ(r.address);
    case 2: return ToQ(r.remark);
    default: return QString::number(record);
  }
}

QVariant AddressRecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kTitles[] = {"宛名", "アドレス", "備考", "レコード番号"};
  return section >= 0 && section < 4 ? QString::fromUtf8(kTitles[section]) : QVariant();
}

void AddressRecordModel::Refill() {
  beginResetModel();
  endResetModel();
}

}  // namespace plumex
