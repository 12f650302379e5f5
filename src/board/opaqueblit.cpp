#include "board/opaqueblit.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

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

// Opaque 32-bit sources: RGB32 keeps its alpha byte at 0xff, so a copy equals a draw.
bool opaqueSource(const QImage& src) {
    return src.format() == QImage::Format_RGB32;
}

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
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) ||
        t.dy() != std::floor(t.dy()))
        return;
    m_shift = QPoint(int(t.dx()), int(t.dy()));
    m_deviceClip = clip.translated(m_shift) & image->rect();
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

void OpaqueBlit::draw(const QPoint& at, const QImage& src, const QRect& part) {
    const QRect placed = part.isNull() ? QRect(at, src.size()) : QRect(at, src.size()) & part;
    if (placed.isEmpty())
        return;
    if (!m_bits || !opaqueSource(src)) {
        m_p.drawImage(placed.topLeft(), src, placed.translated(-at));
        return;
    }
    const QRect target = placed.translated(m_shift) & m_deviceClip;
    if (target.isEmpty())
        return;
    const QPoint from = target.topLeft() - (at + m_shift);
    for (int y = 0; y < target.height(); ++y) {
        auto* to = reinterpret_cast<quint32*>(m_bits + (target.top() + y) * m_bytesPerLine) +
                   target.left();
        const auto* line =
            reinterpret_cast<const quint32*>(src.constScanLine(from.y() + y)) + from.x();
        streamPixels(to, line, target.width());
    }
    m_streamed = true;
}

} // namespace quoteria
