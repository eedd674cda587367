// TfrmInsertLog: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmInsertLog : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmInsertLog(QWidget* parent = nullptr);
};

}  // namespace plumex
