#include "board/opaqueblit.h"

#include <QColor>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quoteria {

namespace {

bool plainTarget(QImage::Format f) {
    return f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB32 ||
           f == QImage::Format_ARGB32;
}

// A shift by whole pixels, perhaps turned by quarter turns or mirrored: every
// pixel lands on exactly one pixel.
bool quarterTurn(const QTransform& t) {
    const auto unit = [](qreal v) { return v == 0 || v == 1 || v == -1; };
    const auto whole = [](qreal v) { return v == std::floor(v) && std::abs(v) < 1e6; };
    if (!t.isAffine() || !unit(t.m11()) || !unit(t.m12()) || !unit(t.m21()) ||
        !unit(t.m22()) || !whole(t.dx()) || !whole(t.dy()))
        return false;
    return (t.m11() != 0 && t.m12() == 0 && t.m21() == 0 && t.m22() != 0) ||
           (t.m11() == 0 && t.m12() != 0 && t.m21() != 0 && t.m22() == 0);
}

// The device pixels a rectangle of pixels covers.
QRect onPixels(const QTransform& t, const QRect& r) {
    return t.mapRect(QRectF(r)).toAlignedRect();
}

// Opaque 32-bit sources: RGB32 keeps its alpha byte at 0xff, so a copy equals a draw.
bool opaqueSource(const QImage& src) {
    return src.format() == QImage::Format_RGB32;
}

// Runs shorter than this do not fill enough whole cache lines to stream.
constexpr int kShortRun = 256;

// Copies `n` pixels with streaming stores where the processor has them.
void streamPixels(quint32* to, const quint32* from, int n) {
#if defined(__SSE2__)
    int x = 0;
    while (x < n && (reinterpret_cast<quintptr>(to + x) & 15))
        to[x] = from[x], ++x;
    for (; x + 4 <= n; x += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + x),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x)));
    for (; x < n; ++x)
        to[x] = from[x];
#else
    std::memcpy(to, from, size_t(n) * sizeof(quint32));
#endif
}

// Sets `n` pixels to `value`, four at a time. Plain stores: the fills are thin
// lines and edges, which streaming would only slow.
void fillPixels(quint32* to, quint32 value, int n) {
#if defined(__SSE2__)
    int x = 0;
    while (x < n && (reinterpret_cast<quintptr>(to + x) & 15))
        to[x++] = value;
    const __m128i four = _mm_set1_epi32(int(value));
    for (; x + 4 <= n; x += 4)
        _mm_store_si128(reinterpret_cast<__m128i*>(to + x), four);
    for (; x < n; ++x)
        to[x] = value;
#else
    std::fill(to, to + n, value);
#endif
}

} // namespace

OpaqueBlit::OpaqueBlit(QPainter& p, const QRect& clip) : m_p(p) {
    QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || clip.isEmpty())
        return;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    auto* image = static_cast<QImage*>(device);
    if (!plainTarget(image->format()) || image->devicePixelRatio() != 1.0)
        return;
    if (p.opacity() < 1.0 || p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return;
    const QTransform t = p.deviceTransform();
    if (!quarterTurn(t))
        return;
    m_toDevice = t;
    m_deviceClip = onPixels(t, clip) & image->rect();
    // A widget's painter may be held to less than its clip (children, other windows).
    const QRegion system = engine->systemClip();
    if (!system.isEmpty() && !(QRegion(m_deviceClip) - system).isEmpty())
        return;
    if (m_deviceClip.isEmpty())
        return;
    // The painter holds the image detached while it paints: its own pixels, written
    // in place as the painter writes them.
    m_bits = const_cast<uchar*>(image->constBits());
    m_bytesPerLine = image->bytesPerLine();
}

OpaqueBlit::~OpaqueBlit() {
#if defined(__SSE2__)
    // What the painter draws next lands after these stores.
    if (m_streamed)
        _mm_sfence();
#endif
}

void OpaqueBlit::draw(const QPoint& at, const QImage& src, const QRect& part, QImage* turned) {
    const QRect placed = part.isNull() ? QRect(at, src.size()) : QRect(at, src.size()) & part;
    if (placed.isEmpty())
        return;
    if (!m_bits || !opaqueSource(src)) {
        m_p.drawImage(placed.topLeft(), src, placed.translated(-at));
        return;
    }
    const QRect target = onPixels(m_toDevice, placed) & m_deviceClip;
    if (target.isEmpty())
        return;
    const auto deviceLine = [&](int y) { return pixel(target.left(), target.top() + y); };
    const QTransform linear(m_toDevice.m11(), m_toDevice.m12(), m_toDevice.m21(),
                            m_toDevice.m22(), 0, 0);
    if (turned && !linear.isIdentity()) {
        // The picture as the device stands, kept by the caller: read in order, it
        // copies nearly as fast as an upright one. Its offset says which way it was
        // turned, should another painter turn it otherwise.
        const QPoint way(int(linear.m11() * 3 + linear.m12()), int(linear.m21() * 3 + linear.m22()));
        if (turned->isNull() || turned->offset() != way) {
            *turned = src.transformed(linear);
            turned->setOffset(way);
        }
        const QRect whole = onPixels(m_toDevice, QRect(at, src.size()));
        if (turned->size() == whole.size() && turned->format() == src.format()) {
            const QPoint from = target.topLeft() - whole.topLeft();
            for (int y = 0; y < target.height(); ++y) {
                const auto* line =
                    reinterpret_cast<const quint32*>(turned->constScanLine(from.y() + y)) +
                    from.x();
                // Short runs (a row turned a quarter): plain stores, as streaming
                // ones would cost more than they save.
                if (target.width() >= kShortRun)
                    streamPixels(deviceLine(y), line, target.width());
                else
                    std::memcpy(deviceLine(y), line, size_t(target.width()) * 4);
            }
            m_streamed = true;
            return;
        }
    }
    // Each device line, from its first pixel's centre back in the picture and the
    // step one pixel right makes there (a whole pixel along a line or a column).
    const QTransform back = m_toDevice.inverted();
    const QPointF centre = back.map(QPointF(target.left() + 0.5, target.top() + 0.5));
    const QPointF right = back.map(QPointF(target.left() + 1.5, target.top() + 0.5)) - centre;
    const QPointF down = back.map(QPointF(target.left() + 0.5, target.top() + 1.5)) - centre;
    const QPoint first(int(std::floor(centre.x())) - at.x(), int(std::floor(centre.y())) - at.y());
    const qsizetype bpl = src.bytesPerLine();
    const qsizetype stepRight = qsizetype(right.x()) * 4 + qsizetype(right.y()) * bpl;
    const qsizetype stepDown = qsizetype(down.x()) * 4 + qsizetype(down.y()) * bpl;
    const uchar* corner = src.constBits() + first.y() * bpl + first.x() * 4;
    if (stepRight == 4) {
        for (int y = 0; y < target.height(); ++y)
            streamPixels(deviceLine(y), reinterpret_cast<const quint32*>(corner + y * stepDown),
                         target.width());
        m_streamed = true;
        return;
    }
    if (stepRight == -4) {
        // Mirrored: each device line is a picture line read backwards.
        for (int y = 0; y < target.height(); ++y) {
            quint32* to = deviceLine(y);
            const auto* line = reinterpret_cast<const quint32*>(corner + y * stepDown);
            for (int x = 0; x < target.width(); ++x)
                to[x] = line[-x];
        }
        return;
    }
    // Turned a quarter: a device column is a picture line. Bands of a few columns
    // walk down their picture lines together, so every line is read in order and
    // each band's device lines and pages stay in the cache and the TLB.
    constexpr int kBand = 16;
    for (int tx = 0; tx < target.width(); tx += kBand) {
        const int xEnd = qMin(tx + kBand, target.width());
        for (int y = 0; y < target.height(); ++y) {
            quint32* to = deviceLine(y);
            const uchar* line = corner + y * stepDown;
            for (int x = tx; x < xEnd; ++x)
                to[x] = *reinterpret_cast<const quint32*>(line + x * stepRight);
        }
    }
}

void OpaqueBlit::fill(const QRect& r, const QColor& colour) {
    if (!m_bits || colour.alpha() != 255) {
        m_p.fillRect(r, colour);
        return;
    }
    const QRect target = onPixels(m_toDevice, r) & m_deviceClip;
    const quint32 value = colour.rgba();
    for (int y = target.top(); y <= target.bottom(); ++y)
        fillPixels(pixel(target.left(), y), value, target.width());
}

} // namespace quoteria
