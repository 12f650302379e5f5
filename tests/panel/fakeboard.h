#pragma once
// A board double for the panel's side of the lifecycle: the board's timers as
// switches, a ticker area and counters of what the panel asked for.
#include "board/boardloader.h"
#include "data/appcontext.h"
#include "panel/boardcontrol.h"

#include <QEvent>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace quoteria::test {

class FakeBoard : public BoardControl {
public:
    explicit FakeBoard(const BoardChoices& atCreation) : choices(atCreation) {
        area = new QWidget(&win);
        area->hide();
        // What the board's load starts.
        running = {Timer::Rows,    Timer::Title,       Timer::TextClock,
                   Timer::Compose, Timer::TableScroll, Timer::Strip};
        win.installEventFilter(this);
    }
    // Like the board window: a close from outside is reported.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &win && event->type() == QEvent::Close)
            emit closed();
        return false;
    }
    QWidget* window() const override { return const_cast<QWidget*>(&win); }
    void show() override { win.show(); }
    bool isRunning(Timer t) const override { return running.contains(t); }
    void setRunning(Timer t, bool on) override {
        if (on)
            running.insert(t);
        else
            running.remove(t);
    }
    void getSnews() override { ++snews; }
    QWidget* picScroll() const override { return area; }
    int scrollPictureCount() const override { return pictures; }
    void unloadScrollPictures() override {
        ++unloads;
        pictures = 1;
    }
    void reloadGallery() override { ++galleryReloads; }

    BoardChoices choices;
    QWidget win;
    QWidget* area;
    QSet<Timer> running;
    int snews = 0;
    int unloads = 0;
    int galleryReloads = 0;
    int pictures = 3;
};

// Makes FakeBoards and remembers the last one.
struct FakeBoards {
    int made = 0;
    QPointer<FakeBoard> last;
    BoardFactory factory() {
        return [this](AppContext&, const BoardChoices& choices) -> std::unique_ptr<BoardControl> {
            ++made;
            auto b = std::make_unique<FakeBoard>(choices);
            last = b.get();
            return b;
        };
    }
};

} // namespace quoteria::test
