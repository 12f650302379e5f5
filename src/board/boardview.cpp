#include "board/boardview.h"

#include "board/boardengine.h"
#include "board/boardtimers.h"
#include "board/framemotion.h"
#include "board/framestats.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <functional>

namespace quoteria {

namespace {

// The board's timers as real QTimers; the objectNames are the ones the panel knew.
// Each start, stop and tick also runs the clocks the frames draw the motion by.
class WidgetTimers : public BoardTimers {
public:
    WidgetTimers(QObject* owner, BoardEngine*& engine) {
        for (int n = 1; n <= kCount; ++n) {
            auto* t = new QTimer(owner);
            t->setObjectName(QStringLiteral("Timer%1").arg(n));
            t->setTimerType(Qt::PreciseTimer);
            t->setInterval(defaultInterval(n));
            QObject::connect(t, &QTimer::timeout, owner, [this, &engine, n] {
                // Counted first: the tick itself may restart the timer's clock.
                motion.ticked(n);
                if (engine)
                    engine->tick(n);
            });
            m_t[n] = t;
        }
    }
    ~WidgetTimers() override {
        for (int n = 1; n <= kCount; ++n)
            delete m_t[n];
    }
    QTimer* get(int n) const { return n >= 1 && n <= kCount ? m_t[n] : nullptr; }
    bool isActive(int n) const override { return get(n) && get(n)->isActive(); }
    void setActive(int n, bool on) override {
        if (QTimer* t = get(n)) {
            if (on && !t->isActive()) {
                t->start();
                motion.started(n, monotonicNs(), t->interval());
            } else if (!on) {
                t->stop();
                motion.stopped(n);
            }
        }
    }
    int interval(int n) const override { return get(n) ? get(n)->interval() : 0; }
    void setInterval(int n, int ms) override {
        if (QTimer* t = get(n)) {
            t->setInterval(qMax(1, ms));
            motion.intervalChanged(n, t->interval());
        }
    }

    FrameMotion motion;

private:
    QTimer* m_t[kCount + 1] = {};
};

// The ticker strip: its own child so the panel can show and hide it.
class TickerStrip : public QWidget {
public:
    TickerStrip(QWidget* parent, BoardEngine*& engine, const BoardPlacement& placement,
                std::function<void()> present)
        : QWidget(parent), m_engine(engine), m_placement(placement), m_present(std::move(present)) {
        setObjectName(QStringLiteral("picScroll"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_engine)
            return;
        // Painted alone when only the ticker moves: it needs this frame's time too.
        m_present();
        QPainter p(this);
        // The strip's own corner, turned with the board, lands on this widget's corner.
        const QRect strip = m_engine->stripPx();
        const QRect here = m_placement.toScreen(strip);
        p.setTransform(QTransform::fromTranslate(strip.x(), strip.y()) * m_placement.toScreen() *
                       QTransform::fromTranslate(-here.x(), -here.y()));
        m_engine->paintTicker(p);
    }
    void showEvent(QShowEvent*) override {
        if (m_engine)
            m_engine->setTickerVisible(true);
    }
    void hideEvent(QHideEvent*) override {
        if (m_engine)
            m_engine->setTickerVisible(false);
    }

private:
    BoardEngine*& m_engine;
    const BoardPlacement& m_placement;
    std::function<void()> m_present;
};

constexpr int kMediaKinds = 4;

} // namespace

struct BoardView::Private {
    BoardEngine* engine = nullptr;
    WidgetTimers* timers = nullptr;
    TickerStrip* strip = nullptr;
    QWidget* media[kMediaKinds] = {};
    QTimer* frame = nullptr; // one repaint per screen frame of the moving zones
    QRegion pending;         // changed since the last frame (screen pixels)
    bool stripPending = false;
    BoardPlacement placement;
    bool fit = false;
    int rotation = 0;
    BoardInputs inputs; // for a new layout when the view's size changes
    bool loaded = false;
    BoardSource* source = nullptr;

    void present() { engine->setPresentation(timers->motion.at(monotonicNs())); }
};

BoardView::BoardView(QWidget* parent) : QWidget(parent), d(new Private) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Keys go to the window that holds the board.
    setFocusPolicy(Qt::NoFocus);

    d->timers = new WidgetTimers(this, d->engine);
    d->strip = new TickerStrip(this, d->engine, d->placement, [this] { d->present(); });
    d->strip->hide();
    const char* const names[kMediaKinds] = {"videoHost", "webHost", "cameraHost", "slideHost"};
    for (int k = 0; k < kMediaKinds; ++k) {
        d->media[k] = new QWidget(this);
        d->media[k]->setObjectName(QLatin1String(names[k]));
        d->media[k]->hide();
    }
    d->engine = new BoardEngine(*d->timers, this);
    // Zones changed by the timers wait for the next frame: painting at every tick
    // of every timer would draw the screen three times a frame for nothing.
    connect(d->engine, &BoardEngine::repaintNeeded, this, [this](const QRect& r) {
        if (d->strip->isVisible() && r == d->engine->stripPx())
            d->stripPending = true;
        else
            d->pending += d->placement.toScreen(r);
    });

    // The timers move the board in their own steps; the screen shows the motion at
    // its frame rate, each frame where the moving zones stand at that moment.
    d->frame = new QTimer(this);
    d->frame->setTimerType(Qt::PreciseTimer);
    d->frame->setInterval(16);
    connect(d->frame, &QTimer::timeout, this, [this] {
        BoardEngine* e = d->engine;
        if (e->titleMoving() && isRunning(Timer::Title))
            d->pending += d->placement.toScreen(e->zonePx(BoardEngine::ZoneTitle));
        if (isRunning(Timer::TableScroll) && isRunning(Timer::Compose))
            d->pending += d->placement.toScreen(e->zonePx(BoardEngine::ZoneTable));
        if (d->strip->isVisible() &&
            (d->stripPending || leftTrainRunning() || rightTrainRunning()))
            d->strip->update();
        d->stripPending = false;
        if (!d->pending.isEmpty())
            update(d->pending);
        d->pending = QRegion();
    });
}

BoardView::~BoardView() {
    // Children outlive this body: nothing of theirs may reach the engine any more.
    d->frame->stop();
    for (int n = 1; n <= BoardTimers::kCount; ++n)
        d->timers->setActive(n, false);
    BoardEngine* engine = d->engine;
    d->engine = nullptr;
    delete d->strip;
    delete engine;
    delete d->timers;
    delete d;
}

void BoardView::load(const BoardInputs& inputs, BoardSource* source) {
    d->engine->setSource(source);
    d->inputs = inputs;
    d->source = source;
    d->loaded = true;
    d->placement = BoardPlacement::of(inputs, size(), d->fit, d->rotation);
    d->engine->load(inputs, d->placement);
    d->strip->setGeometry(d->placement.toScreen(d->engine->stripPx()));
    // Players are widgets: they stand on the turned zone but show their picture upright.
    const QRect media = d->placement.toScreen(d->engine->zonePx(BoardEngine::ZoneMedia));
    for (QWidget* host : d->media)
        host->setGeometry(media);
    d->timers->setActive(int(Timer::Strip), true);
    d->frame->start();
}

void BoardView::setPlacement(bool fit, int rotation) {
    d->fit = fit;
    d->rotation = BoardPlacement::validRotation(rotation) ? rotation : 0;
}

const BoardPlacement& BoardView::placement() const {
    return d->placement;
}

BoardEngine& BoardView::engine() const {
    return *d->engine;
}

QTimer* BoardView::timer(Timer t) const {
    return d->timers->get(int(t));
}

bool BoardView::isRunning(Timer t) const {
    return d->timers->isActive(int(t));
}

void BoardView::setRunning(Timer t, bool on) {
    d->timers->setActive(int(t), on);
}

void BoardView::startTicker(TickerMotion::Train train) {
    setRunning(Timer::LeftTrain, train == TickerMotion::LeftTrain);
    setRunning(Timer::RightTrain, train == TickerMotion::RightTrain);
}

void BoardView::stopTicker() {
    setRunning(Timer::LeftTrain, false);
    setRunning(Timer::RightTrain, false);
}

void BoardView::setTableMoving(TableMotion motion, bool on) {
    setRunning(motion == TableMotion::Page ? Timer::Rows : Timer::TableScroll, on);
}

QWidget* BoardView::tickerStrip() const {
    return d->strip;
}

QWidget* BoardView::mediaHost(Media kind) const {
    const int k = int(kind);
    return k >= 0 && k < kMediaKinds ? d->media[k] : nullptr;
}

void BoardView::paintEvent(QPaintEvent* event) {
    d->present();
    QPainter p(this);
    p.setTransform(d->placement.toScreen());
    for (const QRect& r : event->region())
        d->engine->paint(p, d->placement.toFrame(r), false);
}

void BoardView::resizeEvent(QResizeEvent*) {
    if (!d->engine)
        return;
    if (!d->fit && d->rotation == 0) {
        d->engine->setFrameSize(size());
        d->placement.screen = size();
        return;
    }
    // A fitted or turned board is laid out again for the new screen.
    if (d->loaded && size() != d->placement.screen) {
        const BoardInputs again = d->inputs;
        load(again, d->source);
    }
}

} // namespace quoteria
