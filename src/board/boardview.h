#pragma once
// One board on screen: the engine with its real timers, the ticker strip and the
// hosts of the media zone's players. The full-screen board window holds one; so
// will the framed preview.
#include "board/boardfit.h"
#include "board/boardinputs.h"

#include <QWidget>

class QTimer;

namespace quoteria {

class BoardEngine;

class BoardView : public QWidget {
    Q_OBJECT
public:
    // The board's timers by what they move.
    enum class Timer {
        Rows = 1,        // refresh (Scroll) or next page (Page)
        Title = 2,       // title marquee
        TextClock = 3,   // text clock
        LeftTrain = 4,   // left-running news
        RightTrain = 5,  // right-running news
        Compose = 6,     // table composition
        TableScroll = 7, // table scrolling
        FaceClock = 8,   // clock face's second hand
        Strip = 9,       // ticker strip repaint
    };
    // What the media zone can hold; each has its own host widget.
    enum class Media { Video, WebPage, Camera, Slideshow };

    explicit BoardView(QWidget* parent = nullptr);
    ~BoardView() override;

    // Builds the board from inputs (the load sequence) at this view's size and starts
    // its timers. source serves the timed refreshes (not owned; null: the inputs').
    void load(const BoardInputs& inputs, BoardSource* source);
    // Fitted to this view and turned by rotation degrees from the next load on.
    void setPlacement(bool fit, int rotation);
    // Where the board stands on this view now.
    const BoardPlacement& placement() const;

    BoardEngine& engine() const;
    QTimer* timer(Timer t) const;
    bool isRunning(Timer t) const;
    void setRunning(Timer t, bool on);

    // The news ticker: the train that runs, and a pause of both.
    void startTicker(TickerMotion::Train train);
    void stopTicker();
    bool leftTrainRunning() const { return isRunning(Timer::LeftTrain); }
    bool rightTrainRunning() const { return isRunning(Timer::RightTrain); }
    // Table motion: the page timer in Page mode, scrolling in Scroll mode.
    void setTableMoving(TableMotion motion, bool on);

    // The ticker strip child; shown, it is painted on its own.
    QWidget* tickerStrip() const;
    // An empty host placed on the media zone for a player of that kind.
    QWidget* mediaHost(Media kind) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Private;
    Private* d;
};

} // namespace quoteria
