// TfrmSend, the compose window: created hidden at start-up, shown on demand. For now it only
// keeps the attachment list that files dropped on the main window go to.
#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;

namespace plumex {

class TfrmSend : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmSend(QWidget* parent = nullptr);
  void AddAttachment(const QString& path);
  QStringList Attachments() const;

 private:
  QListWidget* lstAttach_;
};

}  // namespace plumex
