#include "board/displaywindow.h"

#include "board/boardengine.h"
#include "board/boardtimers.h"
#include "data/appcontext.h"
#include "data/dataevents.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <functional>

namespace quoteria {

namespace {

// The board's timers as real QTimers, named as the panel knows them.
class WindowTimers : public BoardTimers {
public:
    WindowTimers(QObject* owner, BoardEngine*& engine) {
        for (int n = 1; n <= kCount; ++n) {
            auto* t = new QTimer(owner);
            t->setObjectName(QStringLiteral("Timer%1").arg(n));
            t->setTimerType(Qt::PreciseTimer);
            t->setInterval(defaultInterval(n));
            QObject::connect(t, &QTimer::timeout, owner, [this, &engine, n] {
                m_lastTick[n] = m_clock.nsecsElapsed();
                if (engine)
                    engine->tick(n);
            });
            m_t[n] = t;
        }
    }
    ~WindowTimers() override {
        for (int n = 1; n <= kCount; ++n)
            delete m_t[n];
    }
    QTimer* get(int n) const { return n >= 1 && n <= kCount ? m_t[n] : nullptr; }
    bool isActive(int n) const override { return get(n) && get(n)->isActive(); }
    void setActive(int n, bool on) override {
        if (QTimer* t = get(n)) {
            if (on && !t->isActive()) {
                t->start();
                started(n);
            } else if (!on)
                t->stop();
        }
    }
    int interval(int n) const override { return get(n) ? get(n)->interval() : 0; }
    void setInterval(int n, int ms) override {
        if (QTimer* t = get(n))
            t->setInterval(qMax(1, ms));
    }

    // How far timer n is into its period (0 to 1); 0 when it is stopped.
    double phase(int n) const {
        const QTimer* t = get(n);
        if (!t || !t->isActive() || t->interval() <= 0)
            return 0.0;
        const double f = (m_clock.nsecsElapsed() - m_lastTick[n]) / (t->interval() * 1.0e6);
        return qBound(0.0, f, 1.0);
    }
    // Marks timer n as just started, so motion is not extrapolated from an old tick.
    void started(int n) { m_lastTick[n] = m_clock.nsecsElapsed(); }

private:
    QTimer* m_t[kCount + 1] = {};
    QElapsedTimer m_clock;
    qint64 m_lastTick[kCount + 1];
};

// The ticker strip: its own child so the panel can show and hide it.
class TickerStrip : public QWidget {
public:
    TickerStrip(QWidget* parent, BoardEngine*& engine) : QWidget(parent), m_engine(engine) {
        setObjectName(QStringLiteral("picScroll"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_engine)
            return;
        QPainter p(this);
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

public:
    std::function<void()> present;

private:
    BoardEngine*& m_engine;
};

} // namespace

struct DisplayWindow::Private {
    BoardEngine* engine = nullptr;
    WindowTimers* timers = nullptr;
    TickerStrip* strip = nullptr;
    QTimer* frame = nullptr; // one repaint per screen frame of the moving zones

    void present() {
        BoardEngine::Presentation p;
        p.live = true;
        p.title = timers->phase(2);
        p.table = timers->phase(7);
        p.ticker = qMax(timers->phase(4), timers->phase(5));
        engine->setPresentation(p);
    }
};

DisplayWindow::DisplayWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), d(new Private) {
    setObjectName(QStringLiteral("frmDisplay"));
    setWindowTitle(QStringLiteral("Davidev Evirarur"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);

    d->timers = new WindowTimers(this, d->engine);
    const QString mode = ctx.settings.read(QStringLiteral("display"), QStringLiteral("sreen"),
                                           QStringLiteral("type"), QStringLiteral("Dual"));
    QScreen* screen = targetScreen(mode);
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    setGeometry(area);
    // Shown over the whole screen, without the desktop's panels.
    setWindowState(windowState() | Qt::WindowFullScreen);

    d->strip = new TickerStrip(this, d->engine);
    d->strip->hide();
    d->engine = new BoardEngine(ctx, *d->timers, BoardProfile::board(), this);
    connect(d->engine, &BoardEngine::repaintNeeded, this, [this](const QRect& r) {
        if (d->strip->isVisible() && r == d->engine->stripPx())
            d->strip->update();
        else
            update(r);
    });
    d->strip->present = [this] { d->present(); };
    d->engine->load(area.size());
    d->strip->setGeometry(d->engine->stripPx());
    d->timers->setActive(9, true);

    // The timers move the board in their own steps; the screen shows the motion at
    // its frame rate, each frame where the moving zones stand at that moment.
    d->frame = new QTimer(this);
    d->frame->setTimerType(Qt::PreciseTimer);
    d->frame->setInterval(16);
    connect(d->frame, &QTimer::timeout, this, [this] {
        BoardEngine* e = d->engine;
        if (e->titleMoving() && d->timers->isActive(2))
            update(e->zonePx(BoardEngine::ZoneTitle));
        if (d->timers->isActive(7) && d->timers->isActive(6))
            update(e->zonePx(BoardEngine::ZoneTable));
        if (d->strip->isVisible() && (d->timers->isActive(4) || d->timers->isActive(5)))
            d->strip->update();
    });
    d->frame->start();
}

DisplayWindow::~DisplayWindow() {
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

QTimer* DisplayWindow::timer(const QString& name) const {
    if (!name.startsWith(QLatin1String("Timer")))
        return nullptr;
    bool ok = false;
    const int n = name.mid(5).toInt(&ok);
    return ok && QString::number(n) == name.mid(5) ? d->timers->get(n) : nullptr;
}

void DisplayWindow::getSnews() {
    d->engine->getSnews();
}

QWidget* DisplayWindow::picScroll() const {
    return d->strip;
}

int DisplayWindow::scrollPictureCount() const {
    return d->engine->scrollPictureCount();
}

void DisplayWindow::unloadScrollPictures() {
    d->engine->unloadScrollPictures();
}

QScreen* DisplayWindow::targetScreen(const QString& screenMode) {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (screenMode != QLatin1String("Dual") || !primary)
        return primary;
    // The screen that extends the desktop to the right of the primary one.
    const int edge = primary->geometry().x() + primary->geometry().width();
    QScreen* best = nullptr;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        if (s == primary || g.x() < edge)
            continue;
        if (!best || g.x() < best->geometry().x() ||
            (g.x() == best->geometry().x() &&
             qAbs(g.y() - primary->geometry().y()) <
                 qAbs(best->geometry().y() - primary->geometry().y())))
            best = s;
    }
    if (best)
        return best;
    logLine(QStringLiteral("board: no screen extends the desktop to the right of the primary "
                           "screen; the board opens on the primary screen"));
    return primary;
}

BoardEngine* DisplayWindow::engine() const {
    return d->engine;
}

void DisplayWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

void DisplayWindow::keyPressEvent(QKeyEvent* event) {
    // Only Ctrl+D, with no other modifier, stops the board.
    const Qt::KeyboardModifiers mods =
        event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (event->key() == Qt::Key_D && mods == Qt::ControlModifier) {
        emit stopRequested();
        event->accept();
        return;
    }
    event->ignore();
}

void DisplayWindow::paintEvent(QPaintEvent* event) {
    d->present();
    QPainter p(this);
    for (const QRect& r : event->region())
        d->engine->paint(p, r, false);
}

void DisplayWindow::resizeEvent(QResizeEvent*) {
    if (d->engine)
        d->engine->setFrameSize(size());
}

} // namespace quoteria
