#include "ui/frm_set.h"

namespace plumex {

TfrmSet::TfrmSet(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmSet"));
  setWindowTitle(QStringLiteral("設定"));
}

}  // namespace plumex
