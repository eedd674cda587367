#include "ui/send_check_offer_bar.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include "settings/send_check_settings.h"

namespace plumex {

SendCheckOfferBar::SendCheckOfferBar(std::filesystem::path mail_root, QWidget* parent)
    : QFrame(parent), mail_root_(std::move(mail_root)) {
  setObjectName(QStringLiteral("SendCheckOfferBar"));
  setFrameStyle(QFrame::StyledPanel);
  setStyleSheet(QStringLiteral("#SendCheckOfferBar { background: #fff6d5; }"));
  auto* layout = new QHBoxLayout(this);
  auto* text = new QLabel(QStringLiteral("新しい機能「送信前確認」: 送信の前にあて先を社内・社外に分けて表示し、社外のドメインと添付ファイルを確認してから送信します。使いますか？（設定の「送信前確認」タブでいつでも変更できます）"), this);
  text->setWordWrap(true);
  layout->addWidget(text, 1);
  btnUse_ = new QPushButton(QStringLiteral("使う"), this);
  btnUse_->setObjectName(QStringLiteral("btnSendCheckUse"));
  btnDismiss_ = new QPushButton(QStringLiteral("使わない"), this);
  btnDismiss_->setObjectName(QStringLiteral("btnSendCheckDismiss"));
  layout->addWidget(btnUse_);
  layout->addWidget(btnDismiss_);
  connect(btnUse_, &QPushButton::clicked, this, [this] {
    SettleSendCheck(mail_root_, true);
    hide();
  });
  connect(btnDismiss_, &QPushButton::clicked, this, [this] { hide(); });
}

SendCheckOfferBar* SendCheckOfferBar::ShowIfDue(QMainWindow* window, const std::filesystem::path& mail_root) {
  if (!SendCheckOfferDue(mail_root)) return nullptr;
  // Offered once: from now on the store has its decision (off until "使う").
  SettleSendCheck(mail_root, false);
  auto* layout = window->centralWidget() ? qobject_cast<QBoxLayout*>(window->centralWidget()->layout()) : nullptr;
  if (!layout) return nullptr;
  auto* bar = new SendCheckOfferBar(mail_root, window->centralWidget());
  layout->insertWidget(0, bar);
  return bar;
}

}  // namespace plumex
