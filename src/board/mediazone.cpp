#include "board/mediazone.h"

#include "board/boardview.h"
#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/themestore.h"
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
    case MediaMode::LiveInput:
    case MediaMode::WebPage:
    case MediaMode::Picture:
    case MediaMode::Flash:
        logLine(QStringLiteral("media zone: %1 is not available yet; the zone stays empty")
                    .arg(mediaModeName(m_setup.mode)));
        break;
    }
}

MediaZone::~MediaZone() = default;

void MediaZone::startVideo(AppContext& ctx, BoardView& view) {
    QWidget* host = view.mediaHost(BoardView::Media::Video);
    if (!host)
        return;
    m_output = std::make_unique<VideoPlayerOutput>(host);
    m_queue = std::make_unique<VideoQueue>(ctx.media, *m_output);
    m_output->setListeners([q = m_queue.get()] { q->ended(); },
                           [q = m_queue.get()] { q->failed(); });
    // The zone shows, empty, even when there is nothing to play.
    host->show();
    m_queue->start(m_setup.volume);
}

} // namespace quoteria
