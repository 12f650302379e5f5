#pragma once

#include <QPoint>
#include <QRect>
#include <QTransform>

class QColor;
class QImage;
class QPainter;

namespace quoteria {

// Copies opaque pictures and fills opaque colours straight into the 32-bit picture
// a painter draws on. A fitted 4K table is larger than the processor's cache:
// streaming stores skip reading every target line before overwriting it, which
// halves the copy. On a turned board the pictures are turned pixel for pixel, from
// copies kept as the screen stands, instead of sampled through the transform.
// Anything but a plain target (a scaled painter or one off the pixel grid, a clip
// of the window system that does not hold the whole clip, another kind of device)
// goes through the painter as before, with the same pixels.
class OpaqueBlit {
public:
    // `clip` is in the painter's own coordinates, as the painter's clip is.
    OpaqueBlit(QPainter& p, const QRect& clip);
    ~OpaqueBlit();
    OpaqueBlit(const OpaqueBlit&) = delete;
    OpaqueBlit& operator=(const OpaqueBlit&) = delete;

    bool direct() const { return m_bits != nullptr; }
    // `src` with its corner at `at`, cut to the clip and to `part` when one is given.
    // An image with alpha is drawn by the painter. On a turned device `turned`
    // keeps `src` as the device stands for the next frames (the caller empties it
    // when `src` changes); without it the painter turns the picture.
    void draw(const QPoint& at, const QImage& src, const QRect& part = QRect(),
              QImage* turned = nullptr);
    // `r` in an opaque colour, cut to the clip; other colours go to the painter.
    void fill(const QRect& r, const QColor& colour);

private:
    quint32* pixel(int x, int y) const {
        return reinterpret_cast<quint32*>(m_bits + y * m_bytesPerLine) + x;
    }

    QPainter& m_p;
    uchar* m_bits = nullptr;
    qsizetype m_bytesPerLine = 0;
    QTransform m_toDevice;
    QRect m_deviceClip; // device pixels
    bool m_streamed = false;
};

} // namespace quoteria
