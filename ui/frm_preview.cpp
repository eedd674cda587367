#include "ui/frm_preview.h"

namespace plumex {

TfrmPreView::TfrmPreView(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmPreView"));
  setWindowTitle(QStringLiteral("差し込みメールプレビュー"));
}

}  // namespace plumex
