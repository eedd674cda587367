// TfrmSet: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmSet : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmSet(QWidget* parent = nullptr);
};

}  // namespace plumex
