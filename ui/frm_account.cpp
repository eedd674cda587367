#include "ui/frm_account.h"

namespace plumex {

TfrmAccount::TfrmAccount(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAccount"));
  setWindowTitle(QStringLiteral("アカウント設定"));
}

}  // namespace plumex
