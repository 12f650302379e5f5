#include "board/displaywindow.h"

#include "board/boardengine.h"
#include "board/boardloader.h"
#include "board/framestats.h"
#include "board/mediazone.h"
#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <memory>

namespace quoteria {

namespace {

// The figures of the last few seconds of frames, in a corner of the board; made
// only when asked for, so a board nobody inspects pays nothing for it.
class DiagnosticsOverlay : public QWidget {
public:
    DiagnosticsOverlay(QWidget* parent, double nominalMs)
        : QWidget(parent), m_stats(nominalMs, 600), m_since(ProcessUsage::now()) {
        setObjectName(QStringLiteral("diagnostics"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont f = font();
        f.setPointSize(11);
        setFont(f);
        m_refresh.setInterval(1000);
        QObject::connect(&m_refresh, &QTimer::timeout, this, [this] { refresh(); });
        refresh();
    }
    void frame(qint64 ns) { m_stats.frame(ns); }
    void setShown(bool on) {
        setVisible(on);
        if (on) {
            m_stats.clear();
            m_since = ProcessUsage::now();
            m_refresh.start();
            raise();
        } else {
            m_refresh.stop();
        }
    }
    const QStringList& lines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 0, 0, 190));
        p.setPen(Qt::white);
        const QFontMetrics fm(font());
        int y = kMargin + fm.ascent();
        for (const QString& line : m_lines) {
            p.drawText(kMargin, y, line);
            y += fm.lineSpacing();
        }
    }

private:
    static constexpr int kMargin = 8;
    void refresh() {
        const ProcessUsage now = ProcessUsage::now();
        m_lines = m_stats.figures(m_since, now).lines();
        m_since = now;
        const QFontMetrics fm(font());
        int w = 0;
        for (const QString& line : m_lines)
            w = qMax(w, fm.horizontalAdvance(line));
        setGeometry(kMargin, kMargin, w + 2 * kMargin,
                    int(m_lines.size()) * fm.lineSpacing() + 2 * kMargin);
        update();
    }

    FrameStats m_stats;
    ProcessUsage m_since;
    QStringList m_lines;
    QTimer m_refresh;
};

} // namespace

struct DisplayWindow::Private {
    std::unique_ptr<BoardLoader> loader;
    BoardView* view = nullptr;
    MediaZone* media = nullptr;
    DiagnosticsOverlay* diagnostics = nullptr;
    std::function<void(qint64)> frameListener;
};

DisplayWindow::DisplayWindow(AppContext& ctx, const BoardChoices& choices, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), d(new Private) {
    setObjectName(QStringLiteral("frmDisplay"));
    setWindowTitle(QStringLiteral("Davidev Evirarur"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);

    QScreen* screen = targetScreen(ctx.settings.get(settings::ScreenMode, QStringLiteral("Dual")));
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    setGeometry(area);
    // Shown over the whole screen, without the desktop's panels.
    setWindowState(windowState() | Qt::WindowFullScreen);

    d->loader = std::make_unique<BoardLoader>(ctx);
    d->view = new BoardView(this);
    d->view->setGeometry(QRect(QPoint(0, 0), area.size()));
    d->loader->drive(d->view->engine());
    d->view->setPlacement(ctx.settings.get(settings::FitToScreen),
                          ctx.settings.get(settings::BoardRotation));
    const BoardInputs inputs = d->loader->load(choices);
    d->view->load(inputs, d->loader.get());
    // After the table, so the players start on a laid-out board.
    d->media = new MediaZone(ctx, *d->view, inputs.theme, this);
}

DisplayWindow::~DisplayWindow() {
    // The players stop before the board they stand on; the board goes before the
    // loader that feeds it.
    delete d->media;
    delete d->view;
    delete d;
}

BoardView* DisplayWindow::view() const {
    return d->view;
}

void DisplayWindow::getSnews() {
    d->view->engine().getSnews();
}

QWidget* DisplayWindow::picScroll() const {
    return d->view->tickerStrip();
}

int DisplayWindow::scrollPictureCount() const {
    return d->view->engine().scrollPictureCount();
}

void DisplayWindow::unloadScrollPictures() {
    d->view->engine().unloadScrollPictures();
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

MediaZone* DisplayWindow::mediaZone() const {
    return d->media;
}

BoardEngine* DisplayWindow::engine() const {
    return &d->view->engine();
}

void DisplayWindow::setFrameListener(std::function<void(qint64)> listener) {
    d->frameListener = std::move(listener);
}

double DisplayWindow::nominalFrameMs() const {
    const QScreen* s = screen();
    const double hz = s ? s->refreshRate() : 60.0;
    return hz >= 1.0 ? 1000.0 / hz : 1000.0 / 60.0;
}

void DisplayWindow::toggleDiagnostics() {
    if (!d->diagnostics)
        d->diagnostics = new DiagnosticsOverlay(this, nominalFrameMs());
    d->diagnostics->setShown(!d->diagnostics->isVisible());
}

bool DisplayWindow::diagnosticsShown() const {
    return d->diagnostics && d->diagnostics->isVisible();
}

bool DisplayWindow::event(QEvent* event) {
    const bool frame = event->type() == QEvent::UpdateRequest;
    const bool done = QWidget::event(event);
    // The backing store was painted and flushed to the screen just now.
    if (frame) {
        const qint64 ns = monotonicNs();
        if (d->frameListener)
            d->frameListener(ns);
        if (d->diagnostics && d->diagnostics->isVisible())
            d->diagnostics->frame(ns);
    }
    return done;
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
    if (event->key() == Qt::Key_F12 && mods == Qt::NoModifier) {
        toggleDiagnostics();
        event->accept();
        return;
    }
    event->ignore();
}

void DisplayWindow::resizeEvent(QResizeEvent*) {
    d->view->setGeometry(rect());
}

} // namespace quoteria
