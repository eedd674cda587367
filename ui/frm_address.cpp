#include "ui/frm_address.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmAddress::TfrmAddress(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAddress"));
  setWindowTitle(QStringLiteral("アドレス帳設定"));
  CloseOnEscape(this);
}

}  // namespace plumex
