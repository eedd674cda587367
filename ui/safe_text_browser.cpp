#include "ui/safe_text_browser.h"

namespace plumex {

SafeTextBrowser::SafeTextBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
}

QVariant SafeTextBrowser::loadResource(int, const QUrl&) {
  ++requests_;
  return QVariant();
}

}  // namespace plumex
