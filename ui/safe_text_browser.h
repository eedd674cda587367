// The HTML view: a QTextBrowser that loads no resource at all (no network, no local files,
// no images referenced by the mail) and follows no link. It runs no script: QTextBrowser has
// no script engine.
#pragma once

#include <QTextBrowser>

namespace plumex {

class SafeTextBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  explicit SafeTextBrowser(QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;
  int resourceRequests() const { return requests_; }

 private:
  int requests_ = 0;
};

}  // namespace plumex
