// The main window's viewer: the header panel, the body with its links, the attachment list
// and preview, the HTML view; the source window and printing of the message on screen. What
// they show comes from the core's ViewerContent.
#include <QAbstractTextDocumentLayout>
#include <QDialog>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "receive/zip_encryption.h"
#include "shell/html_link.h"
#include "shell/jpeg_decoder.h"
#include "shell/link_check.h"
#include "shell/link_text.h"
#include "ui/frm_main.h"
#include "ui/icons.h"
#include "ui/qt_text.h"
#include "ui/safe_text_browser.h"

namespace plumex {
namespace {
QString WithoutCr(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
}  // namespace

void TfrmMain::SetBody(const QString& text) {
  memBody_->setPlainText(text);
  QString plain = memBody_->toPlainText();
  body_text_.assign(reinterpret_cast<const char16_t*>(plain.utf16()), static_cast<size_t>(plain.size()));
  QTextCharFormat link;
  link.setForeground(QColor(0, 128, 64));
  for (const TextRange& r : LinkColourRanges(body_text_)) {
    QTextCursor c(memBody_->document());
    c.setPosition(static_cast<int>(r.start));
    c.setPosition(static_cast<int>(std::min(r.start + r.length, body_text_.size())), QTextCursor::KeepAnchor);
    c.mergeCharFormat(link);
  }
  // Links after a text showing another host: red on yellow, the real target as their tip.
  QTextCharFormat deceptive;
  deceptive.setForeground(QColor(200, 0, 0));
  deceptive.setBackground(QColor(255, 240, 160));
  deceptive.setFontUnderline(true);
  for (const TextRange& r : DeceptiveLinkRanges(body_text_)) {
    QTextCursor c(memBody_->document());
    c.setPosition(static_cast<int>(r.start));
    c.setPosition(static_cast<int>(std::min(r.start + r.length, body_text_.size())), QTextCursor::KeepAnchor);
    deceptive.setToolTip(QStringLiteral("表示と違う行き先: ") + c.selectedText());
    c.mergeCharFormat(deceptive);
  }
  memBody_->moveCursor(QTextCursor::Start);
}

void TfrmMain::ShowPreview() {
  const ViewerContent& v = shell_->State().Viewer;
  if (v.preview == ViewerContent::Preview::Hidden) {
    pnlPreview_->hide();
    return;
  }
  const QString path = PathToQ(v.preview_file);
  if (v.preview == ViewerContent::Preview::Text) {
    memPreview_->setPlainText(WithoutCr(ToQ(v.preview_text)));
    pnlPreview_->setCurrentWidget(memPreview_);
  } else {
    QImage image;
    if (path.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive)) {
      if (auto bytes = ReadFileBytes(v.preview_file))
        if (auto picture = DecodeJpeg(*bytes))
          image = QImage(picture->rgb.data(), picture->width, picture->height, picture->width * 3, QImage::Format_RGB888)
                      .copy();
    } else {
      QImageReader reader(path);
      QSize size = reader.size();
      if (size.isValid() && PictureSizeAllowed(static_cast<uint64_t>(size.width()), static_cast<uint64_t>(size.height())))
        image = reader.read();
    }
    imgPreview_->setPixmap(QPixmap::fromImage(image));
    imgPreview_->adjustSize();
    pnlPreview_->setCurrentWidget(scrPicture_);
  }
  if (!pnlPreview_->isVisible()) {
    pnlPreview_->show();
    int total = std::max(splitPreview_->height(), 150);
    splitPreview_->setSizes({total / 3, total - total / 3});
  }
}

void TfrmMain::RenderViewer() {
  const MainState& s = shell_->State();
  const ViewerContent& v = s.Viewer;
  if (s.HeaderShown != memHeader_->isVisible()) {
    memHeader_->setVisible(s.HeaderShown);
    // A pane shown again in a splitter gets a height of its own, not what is left over.
    if (s.HeaderShown) {
      int total = std::max(splitViewer_->height(), 200);
      int h = std::min(140, total / 3);
      splitViewer_->setSizes({h, total - h});
    }
  }
  header_on_->setChecked(s.HeaderShown);
  header_off_->setChecked(!s.HeaderShown);
  if (v.header_text != shown_header_) {
    shown_header_ = v.header_text;
    memHeader_->setPlainText(WithoutCr(ToQ(shown_header_)));
  }
  // An emptied viewer also drops what was typed into the pane since.
  if (v.text_view != shown_body_ || (v.message_file.empty() && memBody_->document()->isModified())) {
    shown_body_ = v.text_view;
    SetBody(WithoutCr(ToQ(shown_body_)));
  }
  lstAttach_->clear();
  const auto& names = v.attachment_names.size() == v.attachments.size() ? v.attachment_names : v.attachments;
  for (size_t i = 0; i < names.size(); ++i) {
    auto* item = new QListWidgetItem(ToQ(names[i]), lstAttach_);
    // A password-protected ZIP: its content was not checked, and is not opened here.
    if (IsEncryptedZip(v.attachment_dir / NativeName(v.attachments[i]))) {
      item->setIcon(icons::TrustWarning());
      item->setToolTip(QString::fromUtf8(kEncryptedZipWarning));
    }
  }
  ShowPreview();
  if (v.html_shown) {
    htmlView_->setHtml(ToQ(v.html_page));
    bodyStack_->setCurrentWidget(htmlView_);
  } else {
    bodyStack_->setCurrentWidget(memBody_);
  }
}

// The pointer over the body: the hand over a link, which a press then opens.
void TfrmMain::BodyPointerMoved(const QPoint& point) {
  bool hand = false;
  if (!body_text_.empty()) {
    QPoint in_document = point + QPoint(memBody_->horizontalScrollBar()->value(), memBody_->verticalScrollBar()->value());
    int pos = memBody_->document()->documentLayout()->hitTest(in_document, Qt::ExactHit);
    if (pos >= 0) {
      // hitTest gives the nearest boundary; the character under the pointer is the one
      // that starts left of it.
      QTextCursor c(memBody_->document());
      c.setPosition(pos);
      if (point.x() < memBody_->cursorRect(c).x() && pos > 0) --pos;
      hand = shell_->DetectLink(body_text_, static_cast<size_t>(pos));
    }
  }
  link_cursor_ = hand;
  memBody_->viewport()->setCursor(hand ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TfrmMain::HtmlLinkClicked(const QUrl& url) {
  const QByteArray encoded = url.toEncoded();
  const std::string address(encoded.constData(), static_cast<size_t>(encoded.size()));
  if (KindOfLink(address) == HtmlLinkKind::Mail) {
    ComposeMailto(url.toString());
    return;
  }
  const std::string text = FromQ(htmlView_->LastLinkText());
  Run([&] { OpenHtmlLink(*port_, address, text); });
}

ViewerOffers TfrmMain::Offers() const {
  return OffersOnScreen(*shell_, memBody_->document()->isModified() || memHeader_->document()->isModified());
}

void TfrmMain::mnuSourceClick() {
  std::optional<std::string> source;
  Run([&] { source = shell_->ShownSource(); });
  if (!source) return;
  // A window of its own, so the message can be read beside its source.
  auto* dialog = new QDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("ソース表示"));
  auto* edit = new QPlainTextEdit(dialog);
  edit->setReadOnly(true);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit->setPlainText(WithoutCr(QString::fromStdString(*source)));
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(edit);
  dialog->resize(720, 540);
  dialog->show();
}

void TfrmMain::mnuPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintShownMessage(printer);
  port_->MessageBox(Sjis("終了しました"), MsgIcon::None, MsgButtons::Ok);
}

bool TfrmMain::PrintShownMessage(QPrinter& printer) {
  QTextDocument document;
  document.setDefaultFont(memBody_->font());
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);  // long lines are not cut off
  document.setDefaultTextOption(wrap);
  document.setPlainText(WithoutCr(ToQ(core_->MessageFiles().PrintText())));
  document.print(&printer);
  if (printer.printerState() != QPrinter::Error) return true;
  port_->MessageBox(Sjis("印刷エラー"), MsgIcon::Error, MsgButtons::Ok);
  return false;
}

}  // namespace plumex
