// TfrmAddAddress: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmAddAddress : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmAddAddress(QWidget* parent = nullptr);
};

}  // namespace plumex
