#include "ui/frm_insert_log.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmInsertLog::TfrmInsertLog(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmInsertLog"));
  setWindowTitle(QStringLiteral("差込結果"));
  CloseOnEscape(this);
}

}  // namespace plumex
