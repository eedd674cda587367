// ListView1's model: a view over the rows MessageList holds. No widget per row.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "shell/message_list.h"

namespace plumex {

class MessageListModel : public QAbstractTableModel, private MessageList::Listener {
  Q_OBJECT
 public:
  explicit MessageListModel(MessageList& list, QObject* parent = nullptr);
  ~MessageListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void BeginReset() override;
  void EndReset() override;
  void RowChanged(size_t display_row) override;
  void BeginReorder() override;
  void EndReorder(const std::vector<uint32_t>& new_position_of_old) override;

  MessageList& list_;
  QIcon high_priority_, normal_priority_, clip_, no_clip_, group_head_, group_member_;
};

}  // namespace plumex
