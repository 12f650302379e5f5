#pragma once
// The banner player: the banner list's items in turn, each as what it is: a still
// picture, an animated GIF or WebP, an SVG drawing or a video. A Flash movie or a
// file that cannot be read is passed over with one log line per reading of the
// list, and the player goes on; with nothing playable it stays empty.
#include "board/boardfit.h"
#include "media/medialists.h"

#include <QImage>
#include <QPointer>
#include <QSet>
#include <QWidget>

class QMediaPlayer;
class QMovie;
class QSvgRenderer;
class QVideoSink;

namespace quoteria {

class FrameClock;
class PictureLoader;
class VideoSurface;

class BannerPlayer : public QWidget {
    Q_OBJECT
public:
    enum class Item { None, Picture, Movie, Drawing, Video, Flash };
    static constexpr int kHoldMs = 5000;

    // list: the banner list; clock moves it on (not owned; null: its own);
    // log: the skipped items (the program's log when empty).
    BannerPlayer(const QString& list, FrameClock* clock, QWidget* parent = nullptr,
                 int holdMs = kHoldMs, MediaLog log = {});
    ~BannerPlayer() override;

    // Reads the list again and starts at its first item.
    void reload();
    // Every item turned with a board turned by degrees, laid out for its upright size.
    void setRotation(int degrees);

    static Item itemOf(const QString& file);
    QStringList files() const { return m_files; }
    // The item on show; -1 when nothing is.
    int current() const { return m_current; }
    Item currentItem() const { return m_item; }
    // Pictures still decoding.
    int pending() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void tick(int ms);
    // Shows the first playable item from index on; nothing when there is none.
    void showFrom(int index);
    bool showItem(int index);
    void next();
    void clear();
    void skip(int index, const QString& why);
    // The movie's frame or the drawing at the player's size, for the paints.
    void renderStill();

    QString m_list;
    int m_hold;
    MediaLog m_log;
    QStringList m_files;
    QSet<int> m_reported;
    QSet<int> m_unreadable; // pictures whose decode failed
    PictureLoader* m_pictures;
    int m_current = -1;
    Item m_item = Item::None;
    int m_shown = 0;
    int m_movieFrames = 0;
    int m_movieDue = 0;
    bool m_waiting = false; // on a picture still decoding
    QMovie* m_movie = nullptr;
    QSvgRenderer* m_drawing = nullptr;
    QImage m_still;
    QMediaPlayer* m_video = nullptr;
    QVideoSink* m_videoSink = nullptr;
    VideoSurface* m_videoSurface = nullptr; // our own, so it turns with the rest
    PlayerTurn m_turn;
};

} // namespace quoteria
