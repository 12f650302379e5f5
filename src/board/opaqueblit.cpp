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
    const QTransform linear(m_toDevice.m11(), m_toDevice.m12(), m_toDevice.m21(),
                            m_toDevice.m22(), 0, 0);
    // A turned picture without a copy kept as the device stands: Qt turns it.
    if (!m_bits || !opaqueSource(src) || (!linear.isIdentity() && !turned)) {
        m_p.drawImage(placed.topLeft(), src, placed.translated(-at));
        return;
    }
    const QRect target = onPixels(m_toDevice, placed) & m_deviceClip;
    if (target.isEmpty())
        return;
    const QRect whole = onPixels(m_toDevice, QRect(at, src.size()));
    const QImage* upright = &src;
    if (!linear.isIdentity()) {
        // The picture as the device stands, kept by the caller: read in order, it
        // copies nearly as fast as an upright one. Its offset says which way it was
        // turned, should another painter turn it otherwise.
        const QPoint way(int(linear.m11() * 3 + linear.m12()), int(linear.m21() * 3 + linear.m22()));
        if (turned->isNull() || turned->offset() != way) {
            *turned = src.transformed(linear);
            turned->setOffset(way);
        }
        if (turned->size() != whole.size() || turned->format() != src.format()) {
            m_p.drawImage(placed.topLeft(), src, placed.translated(-at));
            return;
        }
        upright = turned;
    }
    const QPoint from = target.topLeft() - whole.topLeft();
    for (int y = 0; y < target.height(); ++y) {
        const auto* line =
            reinterpret_cast<const quint32*>(upright->constScanLine(from.y() + y)) + from.x();
        // Short runs (a row turned a quarter): plain stores, as streaming ones would
        // cost more than they save.
        if (target.width() >= kShortRun)
            streamPixels(pixel(target.left(), target.top() + y), line, target.width());
        else
            std::memcpy(pixel(target.left(), target.top() + y), line, size_t(target.width()) * 4);
    }
    m_streamed = true;
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
