#include "ui/frm_insert_log.h"

namespace plumex {

TfrmInsertLog::TfrmInsertLog(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmInsertLog"));
  setWindowTitle(QStringLiteral("差込結果"));
}

}  // namespace plumex
