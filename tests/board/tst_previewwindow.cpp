#include "board/boardengine.h"
#include "board/boardview.h"
#include "board/previewwindow.h"
#include "data/appcontext.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

class TestPreviewWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void draftsShowLive_data();
    void draftsShowLive();
};

namespace {
struct Fixture : test::AppFixture {
    qint64 key = 0;
    Fixture() : AppFixture(true) {
        if (!ready)
            qFatal("no database");
        key = themeKeyOf(db, demoThemeName());
    }
};
} // namespace

void TestPreviewWindow::draftsShowLive_data() {
    QTest::addColumn<int>("part");
    QTest::addColumn<bool>("newsOn"); // the panel's "Start Scroll News"
    QTest::newRow("theme row") << int(ThemeDrafts::ThemeRow) << false;
    QTest::newRow("layout") << int(ThemeDrafts::Layout) << true;
    QTest::newRow("header") << int(ThemeDrafts::Header) << true;
}

void TestPreviewWindow::draftsShowLive() {
    QFETCH(int, part);
    QFETCH(bool, newsOn);
    Fixture f;
    // The board's screen choice does not move the preview.
    f.settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                     QStringLiteral("Dual"));
    QPointer<PreviewWindow> slot;
    QScopedPointer<PreviewWindow> w(showPreview(slot, f.ctx, f.key, 12, newsOn, nullptr));
    QCOMPARE(w->pos(), QGuiApplication::primaryScreen()->geometry().topLeft());
    QCOMPARE(w->size(), QSize(683, 384)); // the demo's 10245 x 5760 twips
    // A second command only brings it forward: it keeps its theme.
    QCOMPARE(showPreview(slot, f.ctx, f.key + 1, 15, newsOn, nullptr), w.data());
    QCOMPARE(w->themeKey(), f.key);
    const BoardTheme stored = f.ctx.themes.load(f.key);
    const auto record = f.ctx.themes.loadRecord(f.key);
    QSignalSpy saves(&f.events, &DataEvents::themesChanged);
    auto shown = [&] {
        const BoardTheme& t = w->engine().theme();
        return part == ThemeDrafts::ThemeRow ? t.ttlname
               : part == ThemeDrafts::Layout ? QString::number(t.zone[BoardTheme::Me][2])
                                             : t.head[0];
    };
    const QString original = shown();

    // Typing: several drafts in a row, the preview follows the last.
    BoardTheme edit = stored;
    for (int n = 1; n <= 3; ++n) {
        edit.ttlname = edit.head[0] = QString::number(n * 5000);
        edit.zone[BoardTheme::Me][2] = n * 5000;
        if (part == ThemeDrafts::ThemeRow)
            f.ctx.drafts.setThemeRow(f.key, edit);
        else if (part == ThemeDrafts::Layout)
            f.ctx.drafts.setLayout(f.key, edit.zone);
        else
            f.ctx.drafts.setHeader(f.key, edit.head);
    }
    QTRY_COMPARE(shown(), QStringLiteral("15000"));
    QCOMPARE(w->width(), part == ThemeDrafts::Layout ? 1000 : 683);
    // The ticker runs either way, with the news loaded afresh when the box is ticked.
    QVERIFY(w->view()->leftTrainRunning() || w->view()->rightTrainRunning());
    if (newsOn)
        QVERIFY(w->view()->leftTrainRunning() && w->engine().scrollPictureCount() > 1);
    // Nothing reached the database.
    QCOMPARE(saves.size(), 0);
    QCOMPARE(f.ctx.themes.loadRecord(f.key)->values, record->values);

    // Withdrawn, the stored theme shows again; another theme's drafts leave it alone.
    f.ctx.drafts.clear(f.key, ThemeDrafts::Part(part));
    f.ctx.drafts.setThemeRow(f.key + 1, edit);
    QTRY_COMPARE(shown(), original);

    // A saved theme shows with the drafts still laid over it.
    f.ctx.drafts.setHeader(f.key, edit.head);
    ThemeRecord r = *record;
    r.values[QStringLiteral("ttlname")] = QStringLiteral("SAVED");
    QCOMPARE(f.ctx.themes.saveRecord(r), f.key);
    QTRY_COMPARE(w->engine().theme().ttlname, QStringLiteral("SAVED"));
    QCOMPARE(w->engine().theme().head[0], QStringLiteral("15000"));
}

QTEST_MAIN(TestPreviewWindow)
#include "tst_previewwindow.moc"
