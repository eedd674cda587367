#include "ui/message_list_model.h"

#include <algorithm>

#include <QColor>
#include <QFont>

#include "shell/server_delete_commands.h"
#include "ui/icons.h"
#include "ui/qt_text.h"

namespace plumex {

MessageListModel::MessageListModel(MessageList& list, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      high_priority_(icons::HighPriority()),
      normal_priority_(icons::NormalPriority()),
      clip_(icons::Clip()),
      no_clip_(icons::NoClip()),
      group_head_(icons::GroupHead()),
      group_member_(icons::GroupMember()) {
  list_.SetListener(this);
}

MessageListModel::~MessageListModel() { list_.SetListener(nullptr); }

int MessageListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Count());
}

int MessageListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMessageColumnCount; }

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= list_.Count()) return {};
  size_t row = static_cast<size_t>(index.row());
  int column = index.column();
  switch (role) {
    case Qt::ToolTipRole:
      if (column == kColCorrespondent && trust_of) {
        if (const auto trust = trust_of(row))
          return ToQ(list_.Column(row, column)) + QLatin1Char('\n') + ToQ(TrustSentence(*trust));
      }
      [[fallthrough]];
    case Qt::DisplayRole:
      if (column <= kColAttachIcon) return {};
      if (column == kColDate) return DisplayDate(ToQ(list_.Column(row, column)));
      {
        // The column as sent where it differs from the stored one; the conversation view
        // indents a subject by its level.
        QString text;
        if (shown_text)
          if (auto shown = shown_text(row, column)) text = ToQ(*shown);
        if (text.isNull()) text = ToQ(list_.Column(row, column));
        if (column == kColSubject && indent_of)
          if (int depth = indent_of(index.row()); depth > 0) return QString(depth * 2, QLatin1Char(' ')) + text;
        return text;
      }
    case Qt::DecorationRole:
      if (!list_.IsValid(row)) return {};
      if (column == kColPriorityIcon) {
        if (RowGroup g = list_.Group(row); g != RowGroup::None) return g == RowGroup::First ? group_head_ : group_member_;
        const std::string_view priority = list_.Column(row, kColPriority);
        if (priority == kCandidatePriority) return icons::DeletionCandidate();
        return priority == "1" ? high_priority_ : normal_priority_;
      }
      if (column == kColAttachIcon) return list_.Column(row, kColAttachFlag) == "1" ? clip_ : no_clip_;
      if (column == kColCorrespondent && trust_of) {
        const auto trust = trust_of(row);
        if (!trust) return {};
        switch (LevelOf(*trust)) {
          case TrustLevel::Good: return icons::TrustGood();
          case TrustLevel::Warning: return icons::TrustWarning();
          case TrustLevel::Neutral: return {};
        }
      }
      return {};
    case Qt::FontRole: {
      RowStyle style = RowStyleOfMark(list_.Mark(row));
      if (!style.bold) return {};
      QFont f;
      f.setBold(true);
      return f;
    }
    case Qt::ForegroundRole: {
      RowStyle style = RowStyleOfMark(list_.Mark(row));
      if (!style.has_colour) return {};
      return QColor::fromRgb(style.colour);
    }
    case Qt::TextAlignmentRole:
      if (column == kColSize) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    default:
      return {};
  }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole && section == kColSize) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  static const char* const kCaptions[kMessageColumnCount] = {
      "", "", "件名", "差出人", "日時", "サイズ(Byte)", "MsgID", "添付ﾌﾗｸﾞ", "新着フラグ", "重要度", "Reference", "Dir"};
  if (section < 0 || section >= kMessageColumnCount) return {};
  if (section == kColCorrespondent && recipients_) return QStringLiteral("あて先");
  return QString::fromUtf8(kCaptions[section]);
}

void MessageListModel::SetShowsRecipients(bool recipients) {
  if (recipients == recipients_) return;
  recipients_ = recipients;
  emit headerDataChanged(Qt::Horizontal, kColCorrespondent, kColCorrespondent);
}

QString MessageListModel::DisplayDate(const QString& stored) {
  if (stored.size() < 11 || stored[10] != QLatin1Char('_')) return stored;
  QString time = stored.mid(11);
  if (time.size() == 6 && !time.contains(QLatin1Char(':')))
    time = time.left(2) + QLatin1Char(':') + time.mid(2, 2) + QLatin1Char(':') + time.mid(4);
  return stored.left(10) + QLatin1Char(' ') + time;
}

Qt::ItemFlags MessageListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QMimeData* MessageListModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<size_t> rows;
  for (const QModelIndex& i : indexes)
    if (i.isValid()) rows.push_back(static_cast<size_t>(i.row()));
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (on_drag) on_drag(rows);
  auto* data = new QMimeData;
  data->setData(RowsMimeType(), QByteArray::number(static_cast<qulonglong>(rows.size())));
  return data;
}

void MessageListModel::BeginReset() { beginResetModel(); }
void MessageListModel::EndReset() { endResetModel(); }

void MessageListModel::RowChanged(size_t display_row) {
  int r = static_cast<int>(display_row);
  emit dataChanged(index(r, 0), index(r, kMessageColumnCount - 1));
}

void MessageListModel::BeginRemoveRows(size_t first, size_t last) {
  beginRemoveRows(QModelIndex(), static_cast<int>(first), static_cast<int>(last));
}
void MessageListModel::EndRemoveRows() { endRemoveRows(); }

void MessageListModel::BeginReorder() { emit layoutAboutToBeChanged(); }

void MessageListModel::EndReorder(const std::vector<uint32_t>& new_position_of_old) {
  const QModelIndexList old = persistentIndexList();
  QModelIndexList moved;
  moved.reserve(old.size());
  for (const QModelIndex& i : old) {
    size_t r = static_cast<size_t>(i.row());
    moved.push_back(r < new_position_of_old.size() ? index(static_cast<int>(new_position_of_old[r]), i.column())
                                                   : QModelIndex());
  }
  changePersistentIndexList(old, moved);
  emit layoutChanged();
}

}  // namespace plumex
