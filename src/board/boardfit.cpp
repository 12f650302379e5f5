#include "board/boardfit.h"

#include "board/boardlayout.h"

#include <QPainter>
#include <cmath>

namespace quoteria {

BoardPlacement BoardPlacement::of(const BoardInputs& in, const QSize& screen, bool fit,
                                  int rotation) {
    BoardPlacement p;
    p.screen = screen;
    p.fit = fit;
    p.rotation = validRotation(rotation) ? rotation : 0;
    p.design = designSize(in.theme, in.motion.surface, in.motion.twipsPerPixel);
    return p;
}

bool BoardPlacement::validRotation(int degrees) {
    return degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

QSize BoardPlacement::frame() const {
    return rotation == 90 || rotation == 270 ? screen.transposed() : screen;
}

double BoardPlacement::scale() const {
    const QSize f = frame();
    if (!fit || design.isEmpty() || f.isEmpty())
        return 1.0;
    return qMin(double(f.width()) / design.width(), double(f.height()) / design.height());
}

QRect BoardPlacement::boardRect() const {
    if (!fit || design.isEmpty())
        return QRect(QPoint(0, 0), design.isEmpty() ? frame() : design);
    const double s = scale();
    // Whole pixels, never beyond the frame.
    const QSize f = frame();
    const QSize board(qMin(f.width(), int(std::lround(design.width() * s))),
                      qMin(f.height(), int(std::lround(design.height() * s))));
    return QRect(QPoint((f.width() - board.width()) / 2, (f.height() - board.height()) / 2),
                 board);
}

QPoint BoardPlacement::origin() const {
    return boardRect().topLeft();
}

QTransform BoardPlacement::toScreen() const {
    const QSize f = frame();
    switch (rotation) {
    case 90:
        return QTransform(0, 1, -1, 0, f.height(), 0);
    case 180:
        return QTransform(-1, 0, 0, -1, f.width(), f.height());
    case 270:
        return QTransform(0, -1, 1, 0, 0, f.width());
    default:
        return QTransform();
    }
}

QRect BoardPlacement::toScreen(const QRect& frameRect) const {
    return toScreen().mapRect(QRectF(frameRect)).toAlignedRect();
}

QRect BoardPlacement::toFrame(const QRect& screenRect) const {
    return toScreen().inverted().mapRect(QRectF(screenRect)).toAlignedRect();
}

namespace {

// The widget is the turned screen, the upright picture its frame.
BoardPlacement turned(const QSize& widget, int rotation) {
    BoardPlacement p;
    p.screen = widget;
    p.rotation = BoardPlacement::validRotation(rotation) ? rotation : 0;
    return p;
}

} // namespace

QSize PlayerTurn::upright(const QSize& widget) const {
    return turned(widget, rotation).frame();
}

QTransform PlayerTurn::toWidget(const QSize& widget) const {
    return turned(widget, rotation).toScreen();
}

void PlayerTurn::apply(QPainter& painter, const QSize& widget) const {
    if (rotation != 0)
        painter.setTransform(toWidget(widget), true);
}

} // namespace quoteria
