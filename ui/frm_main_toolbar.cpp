// The main window's tool bar: the command buttons, then the mode, account and delayed-send
// labels.
#include <QAction>
#include <QLabel>
#include <QToolBar>

#include "ui/frm_main.h"
#include "ui/icons.h"

namespace plumex {

void TfrmMain::BuildToolbar() {
  QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setIconSize(QSize(24, 24));
  struct Button {
    const char* hint;
    const char* symbol;
    QColor colour;
    void (TfrmMain::*slot)();
  };
  const Button buttons[] = {
      {"終了", "終", QColor(120, 120, 120), &TfrmMain::mnuExitClick},
      {"ﾒｰﾙの件名で検索", "検", QColor(70, 130, 180), &TfrmMain::mnuSearchSubjectClick},
      {"受信", "受", QColor(40, 110, 200), &TfrmMain::mnuRecieveClick},
      {"新規作成", "新", QColor(50, 160, 90), &TfrmMain::mnuComposeClick},
      {"返信", "返", QColor(60, 150, 150), &TfrmMain::mnuReplyToClick},
      {"転送", "転", QColor(90, 120, 170), &TfrmMain::mnuForwardClick},
      {"メール削除モード", "削", QColor(200, 110, 40), &TfrmMain::mnuDeleteModeClick},
      {"中止", "止", QColor(200, 50, 50), &TfrmMain::mnuDisconnectClick},
      {"メール削除", "消", QColor(150, 60, 60), &TfrmMain::mnuLocalDeleteClick},
      {"アカウント設定", "設", QColor(110, 90, 160), &TfrmMain::mnuAccountClick},
      {"アドレス帳編集", "帳", QColor(160, 120, 60), &TfrmMain::mnuAddressClick},
  };
  for (const Button& b : buttons) {
    QAction* a = Add(bar, QStringLiteral("tool"), QString::fromUtf8(b.hint), b.slot);
    a->setIcon(icons::Button(QString::fromUtf8(b.symbol), b.colour));
    a->setToolTip(QString::fromUtf8(b.hint));
  }
  bar->addSeparator();
  bar->addWidget(new QLabel(QStringLiteral(" ﾓｰﾄﾞ："), bar));
  LblMode_ = new QLabel(bar);
  LblMode_->setObjectName(QStringLiteral("LblMode"));
  LblMode_->setMinimumWidth(60);
  LblMode_->setAlignment(Qt::AlignCenter);
  bar->addWidget(LblMode_);
  LblAccount_ = new QLabel(QStringLiteral("  ｱｶｳﾝﾄ："), bar);
  LblAccount_->setObjectName(QStringLiteral("LblAccount"));
  bar->addWidget(LblAccount_);
  LblJisa_ = new QLabel(QStringLiteral("時差送信中..."), bar);
  LblJisa_->setObjectName(QStringLiteral("LblJisa"));
  LblJisa_->setStyleSheet(QStringLiteral("QLabel { background-color: yellow; color: black; padding: 2px 8px; }"));
  jisa_action_ = bar->addWidget(LblJisa_);
}

}  // namespace plumex
