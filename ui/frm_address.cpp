#include "ui/frm_address.h"

namespace plumex {

TfrmAddress::TfrmAddress(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAddress"));
  setWindowTitle(QStringLiteral("アドレス帳設定"));
}

}  // namespace plumex
