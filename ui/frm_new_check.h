// TfrmNewCheck ("新着チェック中..."): the always-on-top window of the count-only new-mail
// check. It lists each new message once (account, subject, sender, time of the check) and
// tells forwards that failed; "終了" ends the check.
#pragma once

#include <QWidget>
#include <vector>

#include "receive/new_mail_check.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace plumex {

class TfrmNewCheck : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmNewCheck(QWidget* parent = nullptr);

  void AddRows(const std::vector<NewMailRow>& rows);
  // The label at the top: empty when the check starts, "新着１号発見! 日時は、..." at the first find.
  void SetLabel(const QString& text);
  QString Label() const;
  // A forward that failed (each is told once); it is tried again at the next tick.
  void AddForwardFailure(const QString& text);
  // "終了" and a new start: the list, the label and the failures are emptied.
  void Clear();
  // Centred on `over`, shown and raised.
  void ShowOver(QWidget* over);

  QTreeWidget* ListView() const { return list_; }
  QLabel* lblNew() const { return label_; }
  QLabel* lblForward() const { return forward_; }
  QPushButton* btnFinish() const { return finish_; }

 signals:
  void finishClicked();  // "終了"

 private:
  QLabel* label_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLabel* forward_ = nullptr;
  QPushButton* finish_ = nullptr;
};

}  // namespace plumex
