#include "ui/frm_new_check.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmNewCheck::TfrmNewCheck(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmNewCheck"));
  setWindowTitle(QStringLiteral("新着チェック中..."));
  CloseOnEscape(this);
}

}  // namespace plumex
