#pragma once
// Players on a turned board: an 80x60 player widget, a picture marked so any turn or
// mirror shows, and where its corners must land for each turn.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QVideoFrame>
#include <QtTest>

namespace quoteria::test::turn {

inline bool near(QRgb a, QColor b) {
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40 &&
           qAbs(qBlue(a) - b.blue()) < 40;
}

// An upright picture of the given size: red at its top-left corner, green at its
// top-right, blue elsewhere, so any turn or mirror shows.
inline QImage markedPicture(const QSize& size) {
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::blue);
    const int m = size.width() / 4;
    for (int y = 0; y < m; ++y)
        for (int x = 0; x < m; ++x) {
            img.setPixel(x, y, qRgb(255, 0, 0));
            img.setPixel(size.width() - 1 - x, y, qRgb(0, 255, 0));
        }
    return img;
}

inline QVideoFrame frameOf(const QImage& picture) {
    QVideoFrame frame(QVideoFrameFormat(picture.size(), QVideoFrameFormat::Format_BGRA8888));
    if (!frame.map(QVideoFrame::WriteOnly))
        return QVideoFrame();
    for (int y = 0; y < picture.height(); ++y)
        memcpy(frame.bits(0) + y * frame.bytesPerLine(0), picture.constScanLine(y),
               size_t(picture.width()) * 4);
    frame.unmap();
    return frame;
}

// Players are 80x60 widgets on the turned zone; each row says where the upright
// picture's top-left (red) and top-right (green) corners must land.
inline void turnedCorners() {
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QPoint>("red");
    QTest::addColumn<QPoint>("green");
    QTest::newRow("0") << 0 << QPoint(3, 3) << QPoint(76, 3);
    QTest::newRow("90: top-left turned to the top-right") << 90 << QPoint(76, 3) << QPoint(76, 56);
    QTest::newRow("180") << 180 << QPoint(76, 56) << QPoint(3, 56);
    QTest::newRow("270") << 270 << QPoint(3, 56) << QPoint(3, 3);
}

inline QSize uprightOf(int rotation) {
    return rotation % 180 ? QSize(60, 80) : QSize(80, 60);
}

inline void verifyCorners(const QImage& shot, QPoint red, QPoint green) {
    QVERIFY2(near(shot.pixel(red), Qt::red), qPrintable(QColor(shot.pixel(red)).name()));
    QVERIFY2(near(shot.pixel(green), Qt::green), qPrintable(QColor(shot.pixel(green)).name()));
    // The other two corners are the picture's plain part.
    const QPoint far(79 - red.x(), 59 - red.y());
    QVERIFY2(near(shot.pixel(far), Qt::blue), qPrintable(QColor(shot.pixel(far)).name()));
}

} // namespace quoteria::test::turn
