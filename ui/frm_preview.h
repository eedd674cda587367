// TfrmPreView: created hidden at start-up, shown on demand. Its contents come with its own commands.
#pragma once

#include <QWidget>

namespace plumex {

class TfrmPreView : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmPreView(QWidget* parent = nullptr);
};

}  // namespace plumex
