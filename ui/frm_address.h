// TfrmAddress: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmAddress : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmAddress(QWidget* parent = nullptr);
};

}  // namespace plumex
