#include "ui/frm_add_address.h"

namespace plumex {

TfrmAddAddress::TfrmAddAddress(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAddAddress"));
  setWindowTitle(QStringLiteral("アドレス帳登録"));
}

}  // namespace plumex
