#include "media/mediaplayers.h"

#include "data/messageservice.h"
#include "media/bannerplayer.h"
#include "media/pictureloader.h"

#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace quoteria {

namespace {

// The pan and zoom pictures are decoded this much larger than the zone.
constexpr double kZoom = 1.2;

MediaListKind listOf(MediaPlayerKind kind) {
    switch (kind) {
    case MediaPlayerKind::CrossFade:
        return MediaListKind::Album;
    case MediaPlayerKind::Slide:
        return MediaListKind::Props;
    case MediaPlayerKind::PanZoom:
        return MediaListKind::Slides;
    case MediaPlayerKind::Banner:
        break;
    }
    return MediaListKind::Album;
}

} // namespace

SlideshowPlayer::SlideshowPlayer(MediaPlayerKind kind, const QString& list, FrameClock* clock,
                                 QWidget* parent, int holdMs, int changeMs)
    : QWidget(parent), m_kind(kind), m_list(list), m_sequence(holdMs, changeMs),
      m_loader(new PictureLoader(kind == MediaPlayerKind::PanZoom ? PictureLoader::Scale::Cover
                                                                   : PictureLoader::Scale::Fit,
                                 kind == MediaPlayerKind::PanZoom ? kZoom : 1.0, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_loader, &PictureLoader::decoded, this, [this](int index, bool ok) {
        if (!ok)
            logLine(QStringLiteral("slideshow: %1 cannot be shown, passed over").arg(m_files.value(index)));
        const int before = m_sequence.current();
        m_sequence.setState(index, ok ? SlideSequence::State::Ready : SlideSequence::State::Broken);
        if (before != m_sequence.current() || index == m_sequence.current())
            update();
    });
    if (!clock)
        clock = new TimerFrameClock(this);
    connect(clock, &FrameClock::advanced, this, &SlideshowPlayer::tick);
    reload();
}

int SlideshowPlayer::pending() const {
    return m_loader->pending();
}

void SlideshowPlayer::reload() {
    m_files.clear();
    for (const MediaListEntry& e : readMediaListFile(listOf(m_kind), m_list))
        m_files << resolveMediaEntry(m_list, e.file);
    m_sequence.reset(m_files.size());
    m_loader->load(m_files, m_turn.upright(size()));
    update();
}

void SlideshowPlayer::setRotation(int degrees) {
    m_turn.rotation = degrees;
    m_loader->resize(m_turn.upright(size()));
    update();
}

void SlideshowPlayer::resizeEvent(QResizeEvent*) {
    // The show goes on; the pictures come back at the new size.
    m_loader->resize(m_turn.upright(size()));
}

void SlideshowPlayer::tick(int ms) {
    const int current = m_sequence.current();
    m_sequence.advance(ms);
    // Still pictures need no frame; a change or a drift does.
    if (m_sequence.incoming() >= 0 || current != m_sequence.current() ||
        (m_kind == MediaPlayerKind::PanZoom && current >= 0))
        update();
}

void SlideshowPlayer::paintPanZoom(QPainter& p, const QSize& area, int index, double opacity,
                                   int shownMs) {
    const QImage img = m_loader->image(index);
    if (img.isNull())
        return;
    // From the whole decoded picture to the zone's share of it, drifting
    // alternately towards one corner and the other.
    const double t = qBound(0.0, double(shownMs) / (m_sequence.holdMs() + m_sequence.changeMs()), 1.0);
    const double scale = kZoom - (kZoom - 1.0) * (index % 2 ? 1.0 - t : t);
    const QSizeF view(area.width() * kZoom / scale, area.height() * kZoom / scale);
    const QSizeF room = QSizeF(img.size()) - view;
    const double along = index % 2 ? 1.0 - t : t;
    const QRectF source(QPointF(room.width() * along, room.height() * along), view);
    p.setOpacity(opacity);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(area)), img, source);
}

void SlideshowPlayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_turn.apply(p, size());
    const QSize area = m_turn.upright(size());
    const int width = area.width();
    const int height = area.height();
    p.fillRect(QRect(QPoint(0, 0), area), Qt::black);
    const int cur = m_sequence.current();
    if (cur < 0)
        return;
    const int in = m_sequence.incoming();
    const double c = m_sequence.change();
    auto centred = [width, height](const QImage& img, int dx) {
        return QPoint(dx + (width - img.width()) / 2, (height - img.height()) / 2);
    };
    switch (m_kind) {
    case MediaPlayerKind::CrossFade: {
        const QImage a = m_loader->image(cur);
        p.drawImage(centred(a, 0), a);
        if (in >= 0) {
            const QImage b = m_loader->image(in);
            p.setOpacity(c);
            p.fillRect(QRect(QPoint(0, 0), area), Qt::black);
            p.drawImage(centred(b, 0), b);
        }
        break;
    }
    case MediaPlayerKind::Slide: {
        const int offset = in >= 0 ? qRound(c * width) : 0;
        const QImage a = m_loader->image(cur);
        p.drawImage(centred(a, -offset), a);
        if (in >= 0) {
            const QImage b = m_loader->image(in);
            p.fillRect(QRect(width - offset, 0, offset, height), Qt::black);
            p.drawImage(centred(b, width - offset), b);
        }
        break;
    }
    case MediaPlayerKind::PanZoom:
        paintPanZoom(p, area, cur, 1.0, m_sequence.shownMs());
        if (in >= 0)
            paintPanZoom(p, area, in, c, m_sequence.shownMs() - m_sequence.holdMs());
        break;
    case MediaPlayerKind::Banner: // a player of its own
        break;
    }
}

QWidget* createMediaPlayer(MediaPlayerKind kind, const QString& file, QWidget* host,
                           FrameClock* clock, int rotation) {
    QWidget* player = nullptr;
    if (kind == MediaPlayerKind::Banner) {
        auto* banner = new BannerPlayer(file, clock, host);
        banner->setRotation(rotation);
        player = banner;
    } else {
        auto* show = new SlideshowPlayer(kind, file, clock, host);
        show->setRotation(rotation);
        player = show;
    }
    if (host)
        placeInHost(host, player);
    return player;
}

void placeInHost(QWidget* host, QWidget* player) {
    auto* layout = host->layout() ? host->layout() : new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(player);
}

} // namespace quoteria
