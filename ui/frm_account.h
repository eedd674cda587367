// TfrmAccount: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmAccount : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmAccount(QWidget* parent = nullptr);
};

}  // namespace plumex
