// The web view of the media zone, built as a module of its own: linking it into
// the program would start the web engine's libraries with every board.
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>

namespace {

// Pages never open a second window, whatever they ask for.
class ZonePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override {
        // Counted on the view, where the board can see it.
        if (QObject* view = parent())
            view->setProperty("refusedWindows", view->property("refusedWindows").toInt() + 1);
        return nullptr;
    }
};

// Some pages draw their own scroll bars or set overflow on the body; the zone
// has no room for them and nobody scrolls the board.
const char kNoScrolling[] =
    "(function(){var s=document.createElement('style');"
    "s.textContent='html,body{overflow:hidden !important}';"
    "(document.head||document.documentElement).appendChild(s);})();";

class ZoneView : public QWebEngineView {
public:
    explicit ZoneView(QWidget* parent) : QWebEngineView(parent) {
        auto* page = new ZonePage(this);
        setPage(page);
        page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        setContextMenuPolicy(Qt::NoContextMenu);
        connect(page, &QWebEnginePage::loadFinished, page,
                [page] { page->runJavaScript(QString::fromLatin1(kNoScrolling)); });
    }
};

} // namespace

// The view on the whole of host, on its way to url. Resolved by name by the board.
extern "C" Q_DECL_EXPORT QWidget* quoteriaWebZone(QWidget* host, const QUrl* url) {
    auto* view = new ZoneView(host);
    view->setGeometry(host->rect());
    view->load(*url);
    view->show();
    return view;
}
