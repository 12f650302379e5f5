#pragma once
// What the control panel drives of a running board: its window, its timers and
// its ticker. The panel creates one through a factory on Start Display and
// destroys it on Stop Display.
#include "board/boardview.h"

#include <QObject>
#include <QWidget>
#include <functional>
#include <memory>

namespace quoteria {

struct AppContext;
struct BoardChoices;

class BoardControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~BoardControl() override = default;

    virtual QWidget* window() const = 0;
    virtual void show() = 0;
    using Timer = BoardView::Timer;
    virtual bool isRunning(Timer t) const = 0;
    virtual void setRunning(Timer t, bool on) = 0;

    // The news ticker: only the left-running train is ever started.
    void startLeftTrain() {
        setRunning(Timer::RightTrain, false);
        setRunning(Timer::LeftTrain, true);
    }
    // The left-running train built afresh from the strip's right edge, where the
    // operator can see it: a train stopped half-way is never resumed.
    void startTickerAfresh() {
        getSnews();
        if (QWidget* area = picScroll())
            area->setVisible(true);
        startLeftTrain();
    }
    void stopTicker() {
        setRunning(Timer::LeftTrain, false);
        setRunning(Timer::RightTrain, false);
    }
    // Either train counts: the right-running one takes over from the left.
    bool tickerRunning() const {
        return isRunning(Timer::LeftTrain) || isRunning(Timer::RightTrain);
    }
    // What Pause holds: scrolling in "Scroll" motion, the page timer otherwise.
    static Timer tableTimerFor(const QString& motion) {
        return motion == QLatin1String("Scroll") ? Timer::TableScroll : Timer::Rows;
    }
    virtual void getSnews() = 0;
    virtual QWidget* picScroll() const = 0;
    virtual int scrollPictureCount() const = 0;
    // Unloads the ticker's message pictures but the first.
    virtual void unloadScrollPictures() = 0;
    // The media list's Refresh wrote the album afresh.
    virtual void reloadGallery() = 0;

Q_SIGNALS:
    // Ctrl+D on the board.
    void stopRequested();
    // The board window was closed from outside (window manager, Alt+F4).
    void closed();
};

// Builds the board for the panel's choices (theme, motion, speeds).
using BoardFactory = std::function<std::unique_ptr<BoardControl>(AppContext&, const BoardChoices&)>;

} // namespace quoteria
