#include "board/displaywindow.h"

#include "board/boardengine.h"
#include "board/boardloader.h"
#include "board/mediazone.h"
#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <memory>

namespace quoteria {

struct DisplayWindow::Private {
    std::unique_ptr<BoardLoader> loader;
    BoardView* view = nullptr;
    MediaZone* media = nullptr;
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

void DisplayWindow::resizeEvent(QResizeEvent*) {
    d->view->setGeometry(rect());
}

} // namespace quoteria
