#include "ui/frm_new_check.h"

namespace plumex {

TfrmNewCheck::TfrmNewCheck(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmNewCheck"));
  setWindowTitle(QStringLiteral("新着チェック中..."));
}

}  // namespace plumex
