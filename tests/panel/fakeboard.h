#pragma once
// A board double for the panel's side of the lifecycle: named timers, a ticker
// area and counters of what the panel asked for.
#include "data/appcontext.h"
#include "panel/boardcontrol.h"

#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quoteria::test {

class FakeBoard : public BoardControl {
public:
    explicit FakeBoard(const Session& atCreation) : session(atCreation) {
        area = new QWidget(&win);
        area->hide();
        for (int i = 1; i <= 9; ++i) {
            auto* t = new QTimer(this);
            t->setObjectName(QStringLiteral("Timer%1").arg(i));
            t->setInterval(3600 * 1000); // never fires during a test
            timers.insert(t->objectName(), t);
        }
        // What the board's load starts.
        for (const char* n : {"Timer1", "Timer2", "Timer3", "Timer6", "Timer7", "Timer9"})
            timers.value(QLatin1String(n))->start();
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
    QTimer* timer(const QString& name) const override { return timers.value(name); }
    void getSnews() override { ++snews; }
    QWidget* picScroll() const override { return area; }
    int scrollPictureCount() const override { return pictures; }
    void unloadScrollPictures() override {
        ++unloads;
        pictures = 1;
    }
    bool active(const char* name) const { return timers.value(QLatin1String(name))->isActive(); }

    Session session;
    QWidget win;
    QWidget* area;
    QHash<QString, QTimer*> timers;
    int snews = 0;
    int unloads = 0;
    int pictures = 3;
};

// Makes FakeBoards and remembers the last one.
struct FakeBoards {
    int made = 0;
    QPointer<FakeBoard> last;
    BoardFactory factory() {
        return [this](AppContext& ctx) -> std::unique_ptr<BoardControl> {
            ++made;
            auto b = std::make_unique<FakeBoard>(ctx.session);
            last = b.get();
            return b;
        };
    }
};

} // namespace quoteria::test
