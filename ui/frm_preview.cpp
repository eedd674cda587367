#include "ui/frm_preview.h"

#include "ui/close_on_escape.h"

namespace plumex {

TfrmPreView::TfrmPreView(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmPreView"));
  setWindowTitle(QStringLiteral("差し込みメールプレビュー"));
  CloseOnEscape(this);
}

}  // namespace plumex
