#include "board/previewwindow.h"

#include "board/boardengine.h"
#include "board/boardloader.h"
#include "board/boardview.h"
#include "data/appcontext.h"
#include "data/dataevents.h"
#include "gui/windowregistry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <memory>

namespace quoteria {

namespace {

// Serves the preview's timed refreshes from the database and keeps what it read,
// so that showing an edit needs no query.
class KeepingSource : public BoardSource {
public:
    KeepingSource(BoardLoader& loader, BoardInputs& kept) : m_loader(loader), m_kept(kept) {}
    BoardRows rows() override { return m_kept.rows = m_loader.rows(); }
    QVector<NewsLine> news(TickerMotion::Train train) override {
        return m_kept.news[train] = m_loader.news(train);
    }
    std::optional<RateRow> rate(qint64 key) override { return m_loader.rate(key); }

private:
    BoardLoader& m_loader;
    BoardInputs& m_kept;
};

} // namespace

struct PreviewWindow::Private {
    AppContext& ctx;
    qint64 key;
    BoardLoader loader;
    BoardInputs inputs; // rows and news as last read; the theme as last shown
    BoardTheme stored;  // the theme as saved, without drafts
    bool storedStale = false;
    KeepingSource source{loader, inputs};
    BoardView* view = nullptr;
    QTimer* reload = nullptr;
    QSize designSize; // the Me zone last applied
    QSize loadedSize; // the view's size at the last load
    bool newsOn = false;

    Private(AppContext& c, qint64 k) : ctx(c), key(k), loader(c) {}
};

PreviewWindow::PreviewWindow(AppContext& ctx, qint64 themeKey, int tickerSpeed, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      d(new Private(ctx, themeKey)) {
    setObjectName(QStringLiteral("frmPrv"));
    setWindowTitle(QStringLiteral("Preview"));

    d->inputs = d->loader.loadPreview(themeKey, tickerSpeed);
    d->stored = d->inputs.theme;
    d->inputs.theme = ctx.drafts.apply(d->stored);
    d->designSize = previewWindowSize(d->inputs.theme, d->inputs.motion.twipsPerPixel);
    resize(d->designSize);
    // The primary screen's corner, whatever screen the board uses.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        moveFrameTo(this, screen->geometry().topLeft());

    d->view = new BoardView(this);
    d->view->setGeometry(rect());
    d->loadedSize = size();
    d->view->load(d->inputs, &d->source);
    d->view->tickerStrip()->show();
    startTicker();

    // Edits arrive keystroke by keystroke: one reload shows all that came meanwhile.
    d->reload = new QTimer(this);
    d->reload->setSingleShot(true);
    d->reload->setInterval(0);
    connect(d->reload, &QTimer::timeout, this, &PreviewWindow::reload);
    connect(&ctx.drafts, &ThemeDrafts::changed, this, [this](qint64 key) {
        if (key == d->key)
            scheduleReload();
    });
    connect(&ctx.events, &DataEvents::themesChanged, this, [this] {
        d->storedStale = true;
        scheduleReload();
    });
}

PreviewWindow::~PreviewWindow() {
    // The board goes before the loader that feeds it.
    delete d->view;
    delete d;
}

qint64 PreviewWindow::themeKey() const {
    return d->key;
}

BoardView* PreviewWindow::view() const {
    return d->view;
}

BoardEngine& PreviewWindow::engine() const {
    return d->view->engine();
}

void PreviewWindow::startNews() {
    d->newsOn = true;
    engine().getSnews();
    d->view->startTicker(TickerMotion::LeftTrain);
}

void PreviewWindow::startTicker() {
    if (d->newsOn) {
        startNews();
        return;
    }
    // The preview's left-train timer runs from the start, news box or not: with no
    // train loaded, its first tick hands over to the right-running train.
    d->view->startTicker(TickerMotion::LeftTrain);
}

void PreviewWindow::scheduleReload() {
    d->reload->start();
}

void PreviewWindow::reload() {
    if (d->storedStale) {
        d->stored = d->ctx.themes.load(d->key);
        d->storedStale = false;
    }
    d->inputs.theme = d->ctx.drafts.apply(d->stored);
    // A moved design surface resizes the window; the operator's own size stays otherwise.
    const QSize design = previewWindowSize(d->inputs.theme, d->inputs.motion.twipsPerPixel);
    if (design != d->designSize) {
        d->designSize = design;
        resize(design);
        d->view->setGeometry(rect());
    }
    d->loadedSize = d->view->size();
    // Rows and news as last read: the source is attached only after the load.
    d->view->load(d->inputs, nullptr);
    startTicker();
    engine().setSource(&d->source);
    // Whatever this reload has asked for itself is done.
    d->reload->stop();
}

void PreviewWindow::resizeEvent(QResizeEvent*) {
    if (!d->view)
        return;
    d->view->setGeometry(rect());
    // Rows and pictures are cut to the size they were built for.
    if (d->view->size() != d->loadedSize)
        scheduleReload();
}

PreviewWindow* showPreview(QPointer<PreviewWindow>& slot, AppContext& ctx, qint64 themeKey,
                           int tickerSpeed, bool newsOn, QWidget* owner) {
    PreviewWindow* w =
        showOnce(slot, [&] { return new PreviewWindow(ctx, themeKey, tickerSpeed, owner); });
    // Closing unloads it: the next command previews afresh.
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (newsOn)
        w->startNews();
    return w;
}

} // namespace quoteria
