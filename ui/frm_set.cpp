#include "ui/frm_set.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmSet::TfrmSet(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmSet"));
  setWindowTitle(QStringLiteral("設定"));
  CloseOnEscape(this);
}

}  // namespace plumex
