#include "ui/frm_add_address.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmAddAddress::TfrmAddAddress(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAddAddress"));
  setWindowTitle(QStringLiteral("アドレス帳登録"));
  CloseOnEscape(this);
}

}  // namespace plumex
