#include "app/window_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora {

QIcon WindowIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(196, 40, 60));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(13, 6, 6, 20));
  painter.drawRect(QRectF(6, 13, 20, 6));
  QPainterPath hairpin;
  hairpin.moveTo(9, 28);
  hairpin.cubicTo(9, 8, 23, 8, 23, 28);
  painter.setPen(QPen(QColor(30, 60, 150), 2.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(hairpin);
  return QIcon(pixmap);
}

}  // namespace velmora
