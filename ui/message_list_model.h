// ListView1's model: a view over the rows MessageList holds. No widget per row.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QMimeData>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "receive/sender_trust.h"

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

  // Dragged rows carry this type only: the folder trees accept nothing else from the list.
  static QString RowsMimeType() { return QStringLiteral("application/x-plumex-message-rows"); }
  QStringList mimeTypes() const override { return {RowsMimeType()}; }
  // Tells on_drag which rows a drag takes (display rows), as the drag starts.
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction | Qt::CopyAction; }
  std::function<void(const std::vector<size_t>& display_rows)> on_drag;
  // A column's text as sent where it differs from the stored one; unset: as stored.
  std::function<std::optional<std::string>(size_t display_row, int column)> shown_text;
  // The conversation view: how many levels a row's subject is indented (nothing: none).
  std::function<int(int display_row)> indent_of;
  // The sender trust of a row (asked only for the rows drawn): a mark before the sender, and
  // the trust sentence as the sender's tip.
  std::function<std::optional<SenderTrust>(size_t display_row)> trust_of;

  // A send folder's rows hold the recipient where received mail holds the sender: the
  // column's caption says which.
  void SetShowsRecipients(bool recipients);
  // The text the date column shows for a stored date: "yyyy/mm/dd hh:nn:ss" for both the
  // received form "yyyy/mm/dd_hh:nn:ss" and the sent form "yyyy/mm/dd_hhnnss".
  static QString DisplayDate(const QString& stored);

 private:
  void BeginReset() override;
  void EndReset() override;
  void RowChanged(size_t display_row) override;
  void BeginReorder() override;
  void EndReorder(const std::vector<uint32_t>& new_position_of_old) override;
  void BeginRemoveRows(size_t first, size_t last) override;
  void EndRemoveRows() override;

  MessageList& list_;
  bool recipients_ = false;
  QIcon high_priority_, normal_priority_, clip_, no_clip_, group_head_, group_member_;
};

}  // namespace plumex
