#include "ui/frm_insert.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmInsert::TfrmInsert(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmInsert"));
  setWindowTitle(QStringLiteral("差し込むファイルの確認"));
  CloseOnEscape(this);
}

}  // namespace plumex
