#pragma once
// The board's media zone: picks what it shows once, at the board's start, and
// puts that player in the zone's host. The mode holds until the board stops.
#include "media/mediamode.h"

#include <QObject>
#include <memory>

class QWidget;

namespace quoteria {

struct AppContext;
struct BoardTheme;
class BoardView;
class LiveInput;
class VideoPlayerOutput;
class VideoQueue;

class MediaZone : public QObject {
    Q_OBJECT
public:
    // Reads the theme and the settings and starts the zone's player on the view.
    MediaZone(AppContext& ctx, BoardView& view, const BoardTheme& theme, QObject* parent = nullptr);
    ~MediaZone() override;

    MediaMode mode() const { return m_setup.mode; }
    // The video mode's parts; null in the other modes.
    VideoQueue* queue() const { return m_queue.get(); }
    VideoPlayerOutput* videoOutput() const { return m_output.get(); }
    // The slideshow or banner player, the web view, or the live picture; null when
    // the zone shows nothing of that kind.
    QWidget* player() const;
    LiveInput* liveInput() const { return m_live; }

    // The album was written afresh: a board showing it starts it again.
    void reloadGallery();

private:
    void startVideo(AppContext& ctx, BoardView& view);
    // Pictures and banners: the list written afresh, then its player in the zone.
    void startShow(AppContext& ctx, BoardView& view);
    void startLiveInput(BoardView& view);
    void startWebPage(AppContext& ctx, BoardView& view);

    MediaSetup m_setup;
    QWidget* m_show = nullptr; // a child of the zone's host
    LiveInput* m_live = nullptr;
    // The queue goes first: it stops the output it drives.
    std::unique_ptr<VideoPlayerOutput> m_output;
    std::unique_ptr<VideoQueue> m_queue;
};

} // namespace quoteria
