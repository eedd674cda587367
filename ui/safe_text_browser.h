// The HTML view: a QTextBrowser that loads nothing remote and no local file of its own choice.
// The only resources it shows are the message's own pictures ("cid:" addresses), which the
// window's picture source finds among the message's saved parts; every other request (http,
// https, file, style sheets) gets nothing. It follows no link itself: anchorClicked goes to the
// window, with the text the link showed. It runs no script: QTextBrowser has no script engine.
#pragma once

#include <QTextBrowser>
#include <filesystem>
#include <functional>
#include <optional>

namespace plumex {

class SafeTextBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  explicit SafeTextBrowser(QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;
  // Requests refused (anything but a picture the source found).
  int resourceRequests() const { return requests_; }
  int picturesShown() const { return pictures_; }
  // The file of a "cid:" picture of the message shown; nothing when it has none.
  void SetPictureSource(std::function<std::optional<std::filesystem::path>(const QUrl&)> source) {
    picture_source_ = std::move(source);
  }
  // The text of the link clicked (or activated from the keyboard) last.
  const QString& LastLinkText() const { return last_link_text_; }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString LinkTextAt(const QPoint& point) const;

  int requests_ = 0;
  int pictures_ = 0;
  std::function<std::optional<std::filesystem::path>(const QUrl&)> picture_source_;
  QString last_link_text_;
};

}  // namespace plumex
