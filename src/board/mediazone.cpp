#include "board/mediazone.h"

#include "board/boardview.h"
#include "board/webzoneloader.h"
#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/themestore.h"
#include "media/liveinput.h"
#include "media/mediafiles.h"
#include "media/mediaplayers.h"
#include "media/videoplayeroutput.h"
#include "media/videoqueue.h"

namespace quoteria {

MediaZone::MediaZone(AppContext& ctx, BoardView& view, const BoardTheme& theme, QObject* parent)
    : QObject(parent), m_setup(readMediaSetup(theme, ctx.settings)) {
    // The media editor previews at the volume of the board last started.
    ctx.session.videoVolume = m_setup.volume;
    switch (m_setup.mode) {
    case MediaMode::Video:
        startVideo(ctx, view);
        break;
    case MediaMode::None:
        break;
    case MediaMode::Picture:
    case MediaMode::Flash:
        startShow(ctx, view);
        break;
    case MediaMode::LiveInput:
        startLiveInput(view);
        break;
    case MediaMode::WebPage:
        startWebPage(ctx, view);
        break;
    }
}

MediaZone::~MediaZone() = default;

QWidget* MediaZone::player() const {
    if (m_live)
        return m_live->surface();
    return m_show;
}

void MediaZone::reloadGallery() {
    if (m_setup.mode != MediaMode::Picture || m_setup.pictureEffect != QLatin1String("Effect1"))
        return;
    if (auto* show = qobject_cast<SlideshowPlayer*>(m_show))
        show->reload();
}

void MediaZone::startLiveInput(BoardView& view) {
    QWidget* host = view.mediaHost(BoardView::Media::Camera);
    if (!host)
        return;
    m_live = new LiveInput(m_setup.captureSource, host, this);
    if (VideoSurface* surface = m_live->surface())
        surface->setRotation(view.placement().rotation);
    host->show();
}

void MediaZone::startWebPage(AppContext& ctx, BoardView& view) {
    QWidget* host = view.mediaHost(BoardView::Media::WebPage);
    if (!host)
        return;
    const QUrl url = webPageUrl(m_setup.htmlPath, ctx.dataFolder);
    if (url.isEmpty()) {
        qWarning("media zone: no HTML page is set; the zone stays empty");
        return;
    }
    QString error;
    m_show = webzone::open(host, url, &error);
    if (!m_show) {
        qWarning().noquote() << QStringLiteral("media zone: the page cannot be shown: %1").arg(error);
        return;
    }
    placeInHost(host, m_show);
    // The page view draws itself and cannot be turned: it stays upright.
    if (view.placement().rotation != 0)
        logLine(QStringLiteral("media zone: the web page is shown upright on a board turned %1 degrees")
                    .arg(view.placement().rotation));
    host->show();
}

void MediaZone::startShow(AppContext& ctx, BoardView& view) {
    // Each show reads the list written for it now, from the active items.
    using namespace mediafiles;
    using Writer = bool (*)(MediaStore&, const QString&, QString*);
    Writer write = nullptr;
    QString file;
    MediaPlayerKind kind = MediaPlayerKind::Banner;
    const QString effect = m_setup.pictureEffect;
    if (m_setup.mode == MediaMode::Flash) {
        write = createXML2;
        file = bannersPath(ctx.dataFolder);
    } else if (effect == QLatin1String("Effect1")) {
        write = createXML;
        file = albumPath(ctx.dataFolder);
        kind = MediaPlayerKind::CrossFade;
    } else if (effect == QLatin1String("Effect2")) {
        write = createTXT;
        file = propsPath(ctx.dataFolder);
        kind = MediaPlayerKind::Slide;
    } else if (effect == QLatin1String("Effect3")) {
        write = createTXT1;
        file = slidesPath(ctx.dataFolder);
        kind = MediaPlayerKind::PanZoom;
    } else {
        // Any other effect shows nothing.
        return;
    }
    QString error;
    if (!write(ctx.media, ctx.dataFolder, &error))
        logLine(QStringLiteral("media zone: the list %1 was not written: %2").arg(file, error));
    QWidget* host = view.mediaHost(BoardView::Media::Slideshow);
    if (!host)
        return;
    m_show = createMediaPlayer(kind, file, host, nullptr, view.placement().rotation);
    host->show();
}

void MediaZone::startVideo(AppContext& ctx, BoardView& view) {
    QWidget* host = view.mediaHost(BoardView::Media::Video);
    if (!host)
        return;
    m_output = std::make_unique<VideoPlayerOutput>(host);
    m_output->setRotation(view.placement().rotation);
    m_queue = std::make_unique<VideoQueue>(ctx.media, *m_output);
    m_output->setListeners([q = m_queue.get()] { q->ended(); },
                           [q = m_queue.get()] { q->failed(); });
    // The zone shows, empty, even when there is nothing to play.
    host->show();
    m_queue->start(m_setup.volume);
}

} // namespace quoteria
