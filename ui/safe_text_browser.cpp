#include "ui/safe_text_browser.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>

#include "ui/qt_text.h"

namespace plumex {

SafeTextBrowser::SafeTextBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
}

QVariant SafeTextBrowser::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource && picture_source_ && name.scheme().compare(QLatin1String("cid"), Qt::CaseInsensitive) == 0) {
    if (const auto file = picture_source_(name)) {
      QImage picture(PathToQ(*file));
      if (!picture.isNull()) {
        ++pictures_;
        return picture;
      }
    }
  }
  ++requests_;
  return QVariant();
}

// The text of the whole link under the point: the run of fragments of its block that carry the
// same link address.
QString SafeTextBrowser::LinkTextAt(const QPoint& point) const {
  const QString href = anchorAt(point);
  if (href.isEmpty()) return QString();
  const QTextCursor at = cursorForPosition(point);
  QString text;
  bool in_run = false;
  for (auto it = at.block().begin(); !it.atEnd(); ++it) {
    const QTextFragment f = it.fragment();
    const bool same = f.charFormat().isAnchor() && f.charFormat().anchorHref() == href;
    const bool holds = f.position() <= at.position() && at.position() <= f.position() + f.length();
    if (same) {
      if (!in_run) text.clear();
      text += f.text();
      in_run = true;
      if (holds) {
        // Go on to the end of this run.
        for (++it; !it.atEnd(); ++it) {
          const QTextFragment g = it.fragment();
          if (!g.charFormat().isAnchor() || g.charFormat().anchorHref() != href) break;
          text += g.text();
        }
        return text;
      }
    } else {
      in_run = false;
    }
  }
  return text;
}

void SafeTextBrowser::mouseReleaseEvent(QMouseEvent* event) {
  last_link_text_ = LinkTextAt(event->position().toPoint());
  QTextBrowser::mouseReleaseEvent(event);
}

void SafeTextBrowser::keyPressEvent(QKeyEvent* event) {
  // A link chosen with Tab is selected whole: its selected text is what it showed.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) last_link_text_ = textCursor().selectedText();
  QTextBrowser::keyPressEvent(event);
}

}  // namespace plumex
