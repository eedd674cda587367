// TfrmSendCheck ("送信前確認"): shown modally before a message goes (sent now, queued for a
// delayed send, or a merge starting). It lists the recipients under "社内" and "社外" by
// domain and the attachments by name and size, with the warnings above them; "送信" is
// enabled only when every outside domain and every attachment is ticked.
#pragma once

#include <QDialog>

#include "port/send_check.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace plumex {

class TfrmSendCheck : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSendCheck(const SendCheck& check, QWidget* parent = nullptr);

  // Shows the window for check and waits: true when "送信" was pressed.
  static bool Ask(const SendCheck& check, QWidget* parent);

  QTreeWidget* lstRecipients() const { return lstRecipients_; }
  QTreeWidget* lstAttachments() const { return lstAttachments_; }
  QLabel* lblWarnings() const { return lblWarnings_; }
  QPushButton* btnSend() const { return btnSend_; }
  QPushButton* btnBack() const { return btnBack_; }
  // The items that need a tick: outside domains, then attachments.
  QList<QTreeWidgetItem*> TickItems() const { return ticks_; }

 private:
  void UpdateSend();

  QTreeWidget* lstRecipients_ = nullptr;
  QTreeWidget* lstAttachments_ = nullptr;
  QLabel* lblWarnings_ = nullptr;
  QPushButton* btnSend_ = nullptr;
  QPushButton* btnBack_ = nullptr;
  QList<QTreeWidgetItem*> ticks_;
};

}  // namespace plumex
