#include "ui/frm_insert.h"

namespace plumex {

TfrmInsert::TfrmInsert(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmInsert"));
  setWindowTitle(QStringLiteral("差し込むファイルの確認"));
}

}  // namespace plumex
