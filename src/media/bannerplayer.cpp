#include "media/bannerplayer.h"

#include "data/messageservice.h"
#include "media/pictureloader.h"
#include "media/slidesequence.h"
#include "media/videoplayeroutput.h"

#include <QFileInfo>
#include <QMediaPlayer>
#include <QMovie>
#include <QPainter>
#include <QSvgRenderer>
#include <QVideoSink>

namespace quoteria {

BannerPlayer::BannerPlayer(const QString& list, FrameClock* clock, QWidget* parent, int holdMs,
                           MediaLog log)
    : QWidget(parent), m_list(list), m_hold(holdMs), m_log(log ? std::move(log) : MediaLog(&logLine)),
      m_pictures(new PictureLoader(PictureLoader::Scale::Fit, 1.0, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (!clock)
        clock = new TimerFrameClock(this);
    connect(clock, &FrameClock::advanced, this, &BannerPlayer::tick);
    connect(m_pictures, &PictureLoader::decoded, this, [this](int index, bool ok) {
        if (!ok)
            m_unreadable.insert(index);
        if (m_waiting && index == m_current) {
            m_waiting = false;
            showFrom(index);
        }
    });
    reload();
}

BannerPlayer::~BannerPlayer() {
    clear();
}

int BannerPlayer::pending() const {
    return m_pictures->pending();
}

BannerPlayer::Item BannerPlayer::itemOf(const QString& file) {
    const QString s = QFileInfo(file).suffix().toLower();
    if (s == QLatin1String("swf"))
        return Item::Flash;
    if (s == QLatin1String("svg") || s == QLatin1String("svgz"))
        return Item::Drawing;
    if (s == QLatin1String("gif") || s == QLatin1String("webp"))
        return Item::Movie;
    static const QStringList videos{"avi", "dat", "mpg", "mpeg", "mp4", "m4v", "wmv",
                                    "mkv", "mov", "webm", "ogv", "flv"};
    if (videos.contains(s))
        return Item::Video;
    return Item::Picture;
}

void BannerPlayer::reload() {
    clear();
    m_files.clear();
    m_reported.clear();
    m_unreadable.clear();
    for (const MediaListEntry& e : readMediaListFile(MediaListKind::Banners, m_list, m_log))
        m_files << resolveMediaEntry(m_list, e.file);
    // Still pictures are decoded ahead, off the window thread; the others need a
    // player of their own and start when their turn comes.
    QStringList pictures;
    for (const QString& f : m_files)
        pictures << (itemOf(f) == Item::Picture ? f : QString());
    m_pictures->load(pictures, m_turn.upright(size()));
    showFrom(0);
}

void BannerPlayer::setRotation(int degrees) {
    m_turn.rotation = degrees;
    m_pictures->resize(m_turn.upright(size()));
    renderStill();
    if (m_videoSurface)
        m_videoSurface->setRotation(degrees);
    update();
}

void BannerPlayer::clear() {
    delete m_movie;
    m_movie = nullptr;
    delete m_drawing;
    m_drawing = nullptr;
    m_still = QImage();
    if (m_video) {
        m_video->disconnect(this);
        m_video->stop();
        m_video->deleteLater();
        m_video = nullptr;
    }
    if (m_videoSurface) {
        m_videoSurface->deleteLater();
        m_videoSurface = nullptr;
    }
    if (m_videoSink) {
        m_videoSink->deleteLater();
        m_videoSink = nullptr;
    }
    m_current = -1;
    m_item = Item::None;
    m_waiting = false;
    update();
}

void BannerPlayer::skip(int index, const QString& why) {
    // One line per item and reading: a list of Flash movies must not flood the log.
    if (!m_reported.contains(index)) {
        m_reported.insert(index);
        m_log(QStringLiteral("banner: %1 %2, passed over").arg(m_files.value(index), why));
    }
}

void BannerPlayer::showFrom(int index) {
    const int n = m_files.size();
    for (int k = 0; k < n; ++k) {
        const int i = (index + k) % n;
        if (showItem(i) || m_waiting)
            return;
    }
    clear();
}

bool BannerPlayer::showItem(int index) {
    clear();
    const QString file = m_files[index];
    const Item item = itemOf(file);
    m_shown = 0;
    switch (item) {
    case Item::Flash:
        skip(index, QStringLiteral("is a Flash movie, which cannot be played"));
        return false;
    case Item::None:
        return false;
    case Item::Picture:
        if (m_pictures->image(index).isNull()) {
            if (!m_unreadable.contains(index) && !size().isEmpty()) {
                // Its turn came before its decode: wait on it, in order.
                m_current = index;
                m_waiting = true;
                return false;
            }
            skip(index, QStringLiteral("cannot be read"));
            return false;
        }
        break;
    case Item::Movie:
        m_movie = new QMovie(file);
        // Frames follow the board's clock, not the movie's own timer.
        if (!m_movie->isValid() || !m_movie->jumpToFrame(0)) {
            skip(index, QStringLiteral("cannot be read"));
            delete m_movie;
            m_movie = nullptr;
            return false;
        }
        m_movieFrames = 1;
        m_movieDue = m_movie->nextFrameDelay();
        renderStill();
        break;
    case Item::Drawing:
        m_drawing = new QSvgRenderer(file);
        if (!m_drawing->isValid()) {
            skip(index, QStringLiteral("cannot be read"));
            delete m_drawing;
            m_drawing = nullptr;
            return false;
        }
        renderStill();
        break;
    case Item::Video:
        if (!QFileInfo(file).isFile()) {
            skip(index, QStringLiteral("cannot be read"));
            return false;
        }
        m_videoSurface = new VideoSurface(this);
        m_videoSurface->setRotation(m_turn.rotation);
        m_videoSurface->setGeometry(rect());
        m_videoSurface->show();
        m_videoSink = new QVideoSink(this);
        m_video = new QMediaPlayer(this);
        m_video->setVideoSink(m_videoSink);
        m_videoSurface->follow(m_videoSink);
        connect(m_video, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::EndOfMedia)
                QMetaObject::invokeMethod(this, [this] { next(); }, Qt::QueuedConnection);
            else if (s == QMediaPlayer::InvalidMedia)
                QMetaObject::invokeMethod(this, [this, i = m_current] {
                    if (i != m_current)
                        return;
                    skip(i, QStringLiteral("cannot be played"));
                    next();
                }, Qt::QueuedConnection);
        });
        m_video->setSource(QUrl::fromLocalFile(file));
        m_video->play();
        break;
    }
    m_current = index;
    m_item = item;
    update();
    return true;
}

void BannerPlayer::next() {
    if (m_current >= 0 && !m_files.isEmpty())
        showFrom((m_current + 1) % m_files.size());
}

void BannerPlayer::tick(int ms) {
    if (m_current < 0 || m_waiting || ms <= 0)
        return;
    m_shown += ms;
    if (m_movie) {
        m_movieDue -= ms;
        if (m_movieDue > 0)
            return; // the frame on show stands; nothing to repaint
        while (m_movieDue <= 0) {
            const bool more = m_movie->jumpToNextFrame() && m_movie->currentFrameNumber() != 0;
            if (!more) {
                // A whole loop shown: go on once the item has had its time.
                if (m_shown >= m_hold)
                    return next();
                m_movie->jumpToFrame(0);
            }
            ++m_movieFrames;
            m_movieDue += qMax(20, m_movie->nextFrameDelay());
        }
        renderStill();
        update();
        return;
    }
    // A video goes on at its end; everything else after its time.
    if (m_item != Item::Video && m_shown >= m_hold)
        next();
}

// Scaled or drawn once per frame and size, not at every paint.
void BannerPlayer::renderStill() {
    m_still = QImage();
    const QSize area = m_turn.upright(size());
    if (area.isEmpty())
        return;
    if (m_movie) {
        m_still = m_movie->currentImage().scaled(area, Qt::KeepAspectRatio,
                                                 Qt::SmoothTransformation);
    } else if (m_drawing) {
        const QSize s = m_drawing->defaultSize().scaled(area, Qt::KeepAspectRatio);
        if (s.isEmpty())
            return;
        m_still = QImage(s, QImage::Format_ARGB32_Premultiplied);
        m_still.fill(Qt::transparent);
        QPainter p(&m_still);
        m_drawing->render(&p);
    }
}

void BannerPlayer::resizeEvent(QResizeEvent*) {
    m_pictures->resize(m_turn.upright(size()));
    renderStill();
    if (m_videoSurface)
        m_videoSurface->setGeometry(rect());
}

void BannerPlayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QImage img = m_item == Item::Picture ? m_pictures->image(m_current) : m_still;
    if (img.isNull())
        return;
    m_turn.apply(p, size());
    const QSize area = m_turn.upright(size());
    p.drawImage(QPoint((area.width() - img.width()) / 2, (area.height() - img.height()) / 2), img);
}

} // namespace quoteria
