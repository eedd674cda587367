// TfrmInsert: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmInsert : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmInsert(QWidget* parent = nullptr);
};

}  // namespace plumex
