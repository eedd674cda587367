#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace plumex::icons {
namespace {

template <class Draw>
QIcon Paint(int size, Draw draw) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p, size);
  p.end();
  return QIcon(pixmap);
}

QIcon FolderShape(const QColor& body, const QColor& mark) {
  return Paint(16, [&](QPainter& p, int) {
    p.setPen(body.darker(160));
    p.setBrush(body);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(1.5, 2.5, 6, 4), 1, 1);
    p.drawPath(tab);
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9.5), 1.5, 1.5);
    if (mark.isValid()) {
      p.setPen(Qt::NoPen);
      p.setBrush(mark);
      p.drawEllipse(QRectF(8.5, 7.5, 5, 5));
    }
  });
}

}  // namespace

QIcon HighPriority() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 30, 30));
    p.drawRoundedRect(QRectF(6.5, 2, 3, 8), 1.2, 1.2);
    p.drawEllipse(QRectF(6.5, 11.5, 3, 3));
  });
  return icon;
}

QIcon NormalPriority() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(180, 180, 180));
    p.drawEllipse(QRectF(6, 6, 4, 4));
  });
  return icon;
}

QIcon TrustGood() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 150, 60));
    QPainterPath shield;
    shield.moveTo(8, 1.5);
    shield.lineTo(14, 3.5);
    shield.cubicTo(14, 10, 11, 13, 8, 14.8);
    shield.cubicTo(5, 13, 2, 10, 2, 3.5);
    shield.closeSubpath();
    p.drawPath(shield);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7.3, 10.3), QPointF(11, 5.8)}));
  });
  return icon;
}

QIcon TrustWarning() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(QPen(QColor(150, 90, 0), 1));
    p.setBrush(QColor(250, 190, 20));
    p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(15, 14.5), QPointF(1, 14.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(7.2, 5.5, 1.6, 5));
    p.drawEllipse(QRectF(7.1, 11.5, 1.8, 1.8));
  });
  return icon;
}

QIcon DeletionCandidate() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    QPen pen(QColor(200, 0, 200), 2.2);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
  });
  return icon;
}

QIcon GroupHead() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(QColor(40, 90, 160));
    p.setBrush(QColor(90, 150, 220));
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
    p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
  });
  return icon;
}

QIcon GroupMember() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    QPen pen(QColor(90, 120, 160), 1.2);
    p.setPen(pen);
    p.drawLine(QPointF(5.5, 1), QPointF(5.5, 8.5));
    p.drawLine(QPointF(5.5, 8.5), QPointF(12, 8.5));
  });
  return icon;
}

QIcon Clip() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    QPen pen(QColor(60, 60, 60), 1.4);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath clip;
    clip.moveTo(10, 5);
    clip.lineTo(10, 12);
    clip.arcTo(QRectF(5.5, 10, 4.5, 4.5), 0, -180);
    clip.lineTo(5.5, 3.5);
    clip.arcTo(QRectF(5.5, 1.5, 6.5, 4), 180, -180);
    clip.lineTo(12, 11);
    p.drawPath(clip);
  });
  return icon;
}

QIcon NoClip() {
  static QIcon icon = Paint(16, [](QPainter&, int) {});
  return icon;
}

QIcon ReceiveRoot() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(QColor(30, 80, 160));
    p.setBrush(QColor(120, 170, 240));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 8), 1.5, 1.5);
    p.setPen(QPen(QColor(30, 80, 160), 2));
    p.drawLine(QPointF(8, 1), QPointF(8, 8));
    p.drawLine(QPointF(5, 5.5), QPointF(8, 8.5));
    p.drawLine(QPointF(11, 5.5), QPointF(8, 8.5));
  });
  return icon;
}

QIcon Account() {
  static QIcon icon = Paint(16, [](QPainter& p, int) {
    p.setPen(QColor(20, 110, 60));
    p.setBrush(QColor(110, 200, 140));
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    p.drawRoundedRect(QRectF(2.5, 8.5, 11, 6), 3, 3);
  });
  return icon;
}

QIcon Folder() {
  static QIcon icon = FolderShape(QColor(240, 200, 90), QColor());
  return icon;
}

QIcon SendRoot() {
  static QIcon icon = FolderShape(QColor(240, 160, 80), QColor(200, 60, 20));
  return icon;
}

QIcon Drafts() {
  static QIcon icon = FolderShape(QColor(200, 200, 200), QColor(90, 90, 90));
  return icon;
}

QIcon Button(const QString& symbol, const QColor& colour) {
  return Paint(24, [&](QPainter& p, int size) {
    p.setPen(colour.darker(150));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), 4, 4);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(symbol.size() > 1 ? 10 : 14);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, symbol);
  });
}

}  // namespace plumex::icons
