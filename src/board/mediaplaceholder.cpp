#include "board/mediaplaceholder.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace quoteria {

QImage mediaPlaceholder(const QSize& size) {
    if (size.isEmpty())
        return QImage();
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    const double w = size.width(), h = size.height();
    img.fill(QColor(24, 24, 28));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Film strip: perforated bands above and below the frame.
    const double band = qMax(4.0, h * 0.09);
    const QRectF frame(0, band, w, h - 2 * band);
    const double hole = band * 0.5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 220, 210));
    for (double x = hole * 0.6; x + hole < w; x += hole * 2.2) {
        p.drawRoundedRect(QRectF(x, band * 0.25, hole, band * 0.5), 1, 1);
        p.drawRoundedRect(QRectF(x, h - band * 0.75, hole, band * 0.5), 1, 1);
    }

    // A landscape: sky, sun, two hills, a lake.
    p.save();
    p.setClipRect(frame);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, QColor(64, 132, 214));
    sky.setColorAt(0.6, QColor(170, 210, 240));
    p.fillRect(frame, sky);
    const double fy = frame.top(), fh = frame.height();
    p.setBrush(QColor(255, 214, 80));
    p.drawEllipse(QPointF(w * 0.78, fy + fh * 0.25), fh * 0.11, fh * 0.11);
    QPainterPath far;
    far.moveTo(0, fy + fh * 0.72);
    far.lineTo(w * 0.30, fy + fh * 0.38);
    far.lineTo(w * 0.58, fy + fh * 0.70);
    far.lineTo(0, fy + fh);
    p.fillPath(far, QColor(92, 120, 150));
    QPainterPath near;
    near.moveTo(w * 0.25, fy + fh);
    near.lineTo(w * 0.62, fy + fh * 0.46);
    near.lineTo(w, fy + fh * 0.78);
    near.lineTo(w, fy + fh);
    p.fillPath(near, QColor(46, 110, 66));
    p.fillRect(QRectF(0, fy + fh * 0.86, w, fh * 0.14), QColor(40, 90, 150));
    p.restore();

    // Play sign in the middle.
    const double r = qMin(w, fh) * 0.16;
    const QPointF c(w / 2, fy + fh / 2);
    p.setBrush(QColor(0, 0, 0, 140));
    p.setPen(QPen(QColor(255, 255, 255, 220), qMax(1.0, r * 0.08)));
    p.drawEllipse(c, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawPolygon(QPolygonF({c + QPointF(-r * 0.35, -r * 0.5), c + QPointF(-r * 0.35, r * 0.5),
                             c + QPointF(r * 0.55, 0)}));
    return img;
}

QRect fitInside(const QSize& picture, const QRect& area) {
    const QSize fit = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.topLeft() + QPoint((area.width() - fit.width()) / 2,
                                         (area.height() - fit.height()) / 2),
                 fit);
}

} // namespace quoteria
