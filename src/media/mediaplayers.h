#pragma once
// The media zone's picture slideshows and banner player, each reading the list
// written for it, and the one place the board's media set-up makes them.
#include "board/boardfit.h"
#include "media/medialists.h"
#include "media/slidesequence.h"

#include <QWidget>

namespace quoteria {

class PictureLoader;

enum class MediaPlayerKind {
    CrossFade, // the album list, pictures fading into each other
    Slide,     // the slideshow list, pictures sliding in from the right
    PanZoom,   // the slide list, pictures drifting and growing as they show
    Banner,    // the banner list, its items in turn
};

class SlideshowPlayer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHoldMs = 5000;
    static constexpr int kChangeMs = 1000;

    // list: the file the player reads; clock moves it on (not owned; null: its own).
    SlideshowPlayer(MediaPlayerKind kind, const QString& list, FrameClock* clock,
                    QWidget* parent = nullptr, int holdMs = kHoldMs, int changeMs = kChangeMs);

    // Reads the list again and starts at its first picture.
    void reload();
    // The pictures turned with a board turned by degrees, decoded for their upright size.
    void setRotation(int degrees);

    MediaPlayerKind kind() const { return m_kind; }
    const SlideSequence& sequence() const { return m_sequence; }
    // The pictures of the list as read, resolved to their files.
    QStringList files() const { return m_files; }
    // Decodes not done yet.
    int pending() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void tick(int ms);
    void paintPanZoom(QPainter& p, const QSize& area, int index, double opacity, int shownMs);

    MediaPlayerKind m_kind;
    QString m_list;
    SlideSequence m_sequence;
    PictureLoader* m_loader;
    QStringList m_files;
    PlayerTurn m_turn;
};

// The player of kind reading file, placed over the whole of host (or unparented
// with no host). clock: the board's frame clock; null gives the player its own.
// rotation: the board's, which the pictures turn with.
QWidget* createMediaPlayer(MediaPlayerKind kind, const QString& file, QWidget* host,
                           FrameClock* clock = nullptr, int rotation = 0);
// Puts player over the whole of host, following its size.
void placeInHost(QWidget* host, QWidget* player);

} // namespace quoteria
