// TfrmNewCheck: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmNewCheck : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmNewCheck(QWidget* parent = nullptr);
};

}  // namespace plumex
