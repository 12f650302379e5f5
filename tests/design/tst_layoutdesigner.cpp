#include "design/designcontrol.h"
#include "design/layoutdesigner.h"
#include "themefixture.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(QList<double>)

namespace {

using Rect = QList<double>; // left, top, width, height in twips

struct Fixture : test::ThemeFixture<LayoutDesigner> {
    LayoutDesigner* open() { return showDesigner(slot, ctx, key, nullptr); }
    void click(const char* button) {
        auto* b = slot->tool()->findChild<QPushButton*>(QLatin1String(button));
        QVERIFY2(b, button);
        b->click();
    }
    // What the preview would draw now: the stored row with the designer's draft.
    BoardTheme shown() { return ctx.drafts.apply(ctx.themes.load(key)); }
};

Rect zoneOf(const LayoutDesigner* d, int z) {
    const double* r = d->model().zone(z);
    return {r[0], r[1], r[2], r[3]};
}

Rect rowZone(const double row[BoardTheme::ZoneCount][4], int z) {
    const double* r = row[LayoutModel::kZones[z].column];
    return {r[0], r[1], r[2], r[3]};
}

QPoint zoneCentre(const LayoutDesigner* d, int z) {
    return d->findChild<QLabel*>(QLatin1String(LayoutModel::kZones[z].name))->geometry().center();
}

// Presses on `on` at `at`, drags on the designer (which holds the mouse) to `to`, drops.
void drag(LayoutDesigner* d, QWidget* on, QPoint at, QPoint to) {
    QTest::mousePress(on, Qt::LeftButton, {}, at);
    QTest::mouseMove(d, to);
    QTest::mouseRelease(d, Qt::LeftButton, {}, to);
}

} // namespace

class TestLayoutDesigner : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void surfaceSize_data();
    void surfaceSize();
    void dragging_data();
    void dragging();
    void pressOutsideDeselects();
    void saveDoesNotDependOnZoom();
    void resetBringsLostZonesBack_data();
    void resetBringsLostZonesBack();
    void resaveKeepsFirstWindowSize();
    void closingEitherClosesBoth_data();
    void closingEitherClosesBoth();
};

void TestLayoutDesigner::surfaceSize_data() {
    QTest::addColumn<int>("tpp");
    QTest::addColumn<QSize>("resolution");
    QTest::addColumn<QSizeF>("twips");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("1366x768 at 96 dpi")
        << 15 << QSize(1366, 768) << QSizeF(10245, 5760) << QSize(683, 384);
    QTest::newRow("1920x1080") << 15 << QSize(1920, 1080) << QSizeF(14400, 8100) << QSize(960, 540);
    QTest::newRow("120 dpi") << 12 << QSize(1366, 768) << QSizeF(8196, 4608) << QSize(683, 384);
    QTest::newRow("no resolution") << 15 << QSize(0, 0) << QSizeF(10245, 5760) << QSize(683, 384);
}

void TestLayoutDesigner::surfaceSize() {
    QFETCH(int, tpp);
    QFETCH(QSize, resolution);
    QFETCH(QSizeF, twips);
    QFETCH(QSize, pixels);
    Fixture f;
    f.ctx.session.twipsPerPixel = tpp;
    f.ctx.session.designWidth = resolution.width();
    f.ctx.session.designHeight = resolution.height();
    LayoutDesigner* d = f.open();
    QCOMPARE(d->model().surfaceSize(), twips);
    QCOMPARE(d->size(), pixels);
    QCOMPARE(d->objectName(), QStringLiteral("frmPos"));
    QVERIFY(d->windowFlags() & Qt::FramelessWindowHint);
}

void TestLayoutDesigner::dragging_data() {
    QTest::addColumn<int>("handle"); // -1: the zone itself
    QTest::addColumn<QPoint>("by");  // pixels from the pressed point
    QTest::addColumn<Rect>("want");
    // The rate table starts at 240, 1200, 4455, 2655: pixels 16..313 by 80..257.
    QTest::newRow("move") << -1 << QPoint(10, 5) << Rect{390, 1275, 4455, 2655};
    QTest::newRow("0 left and top") << 0 << QPoint(6, 4) << Rect{330, 1260, 4365, 2595};
    QTest::newRow("1 top") << 1 << QPoint(6, 4) << Rect{240, 1260, 4455, 2595};
    QTest::newRow("2 right and top") << 2 << QPoint(6, 4) << Rect{240, 1260, 4545, 2595};
    QTest::newRow("3 right") << 3 << QPoint(6, 4) << Rect{240, 1200, 4545, 2655};
    QTest::newRow("4 right and bottom") << 4 << QPoint(6, 4) << Rect{240, 1200, 4545, 2715};
    QTest::newRow("5 bottom") << 5 << QPoint(6, 4) << Rect{240, 1200, 4455, 2715};
    QTest::newRow("6 left and bottom") << 6 << QPoint(6, 4) << Rect{330, 1200, 4365, 2715};
    QTest::newRow("7 left") << 7 << QPoint(6, 4) << Rect{330, 1200, 4365, 2655};
    // The top edge taken 43 pixels past the bottom turns the zone over.
    QTest::newRow("1 past the bottom") << 1 << QPoint(0, 220) << Rect{240, 3855, 4455, 645};
    // The cursor stays on the designer: the bottom edge stops at its last row.
    QTest::newRow("5 off the designer") << 5 << QPoint(0, 400) << Rect{240, 1200, 4455, 4545};
}

void TestLayoutDesigner::dragging() {
    QFETCH(int, handle);
    QFETCH(QPoint, by);
    QFETCH(Rect, want);
    Fixture f;
    LayoutDesigner* d = f.open();
    f.click("cmdEdit");
    const int table = LayoutModel::Table;
    // Selecting is pressing and letting go.
    QTest::mouseClick(d, Qt::LeftButton, {}, zoneCentre(d, table));
    QCOMPARE(d->model().current(), table);
    if (handle < 0) {
        const QPoint at = zoneCentre(d, table);
        drag(d, d, at, at + by);
    } else {
        QWidget* h = d->handle(handle);
        QVERIFY(h->isVisible());
        drag(d, h, QPoint(2, 2), h->geometry().center() + by);
    }
    QCOMPARE(d->model().dragState(), LayoutModel::Idle);
    QCOMPARE(zoneOf(d, table), want);
    // Dropped: the label follows, the handles frame it, the preview has it.
    const QRect px = d->model().zonePixels(table);
    QCOMPARE(d->findChild<QLabel*>(QStringLiteral("lblTable"))->geometry(), px);
    QCOMPARE(d->handle(0)->geometry().center(), px.topLeft());
    QCOMPARE(d->handle(4)->geometry().center(), px.topLeft() + QPoint(px.width(), px.height()));
    QVERIFY(d->handle(7)->isVisible());
    QCOMPARE(rowZone(f.shown().zone, table), want);
}

void TestLayoutDesigner::pressOutsideDeselects() {
    Fixture f;
    LayoutDesigner* d = f.open();
    const QPoint logo = zoneCentre(d, LayoutModel::Logo);
    // Out of design mode nothing is picked.
    QTest::mouseClick(d, Qt::LeftButton, {}, logo);
    QCOMPARE(d->model().current(), -1);
    f.click("cmdEdit");
    QTest::mouseClick(d, Qt::LeftButton, {}, logo);
    QCOMPARE(d->model().current(), int(LayoutModel::Logo));
    QVERIFY(d->handle(3)->isVisible());
    QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(600, 50));
    QCOMPARE(d->model().current(), -1);
    QCOMPARE(d->model().dragState(), LayoutModel::Idle);
    for (int i = 0; i < LayoutModel::kHandleCount; ++i)
        QVERIFY(!d->handle(i)->isVisible());
    QCOMPARE(zoneOf(d, LayoutModel::Logo), (Rect{240, 360, 1935, 735}));
}

void TestLayoutDesigner::saveDoesNotDependOnZoom() {
    Fixture f;
    LayoutDesigner* d = f.open();
    f.click("cmdEdit");
    const QPoint at = zoneCentre(d, LayoutModel::Video);
    drag(d, d, at, at + QPoint(7, -3));
    const BoardTheme draft = f.shown();
    f.click("cmdSave");
    QVERIFY(!f.ctx.drafts.has(f.key));
    const auto first = f.ctx.themes.loadLayout(f.key);
    QVERIFY(first);
    for (int z = 0; z < LayoutModel::ZoneCount; ++z)
        QCOMPARE(rowZone(first->zone, z), rowZone(draft.zone, z));

    f.click("cmdZoomIn");
    f.click("cmdZoomIn");
    QCOMPARE(d->width(), 826); // 683 x 1.21
    QVERIFY(zoneOf(d, LayoutModel::Video) != rowZone(first->zone, LayoutModel::Video));
    f.click("cmdSave");
    QCOMPARE(d->size(), QSize(683, 384));
    const auto second = f.ctx.themes.loadLayout(f.key);
    for (int z = 0; z < LayoutModel::ZoneCount; ++z)
        QCOMPARE(rowZone(second->zone, z), rowZone(first->zone, z));
}

void TestLayoutDesigner::resetBringsLostZonesBack_data() {
    QTest::addColumn<int>("zone");
    QTest::addColumn<Rect>("stored"); // nothing stored: the initial zones
    QTest::addColumn<Rect>("want");
    QTest::newRow("news below the surface")
        << int(LayoutModel::News) << Rect{} << Rect{240, 100, 4455, 255};
    QTest::newRow("beyond the right edge")
        << int(LayoutModel::Logo) << Rect{12000, 360, 900, 700} << Rect{100, 360, 900, 700};
    QTest::newRow("on the right edge")
        << int(LayoutModel::Logo) << Rect{10245, 5760, 900, 700} << Rect{100, 100, 900, 700};
    QTest::newRow("just inside") << int(LayoutModel::Logo) << Rect{10244, 5759, 900, 700}
                                 << Rect{10244, 5759, 900, 700};
}

void TestLayoutDesigner::resetBringsLostZonesBack() {
    QFETCH(int, zone);
    QFETCH(Rect, stored);
    QFETCH(Rect, want);
    Fixture f;
    if (!stored.isEmpty()) {
        LayoutRow row;
        std::copy(stored.begin(), stored.end(), row.zone[LayoutModel::kZones[zone].column]);
        QVERIFY(f.ctx.themes.saveLayout(f.key, row));
    }
    LayoutDesigner* d = f.open();
    QCOMPARE(zoneOf(d, zone), stored.isEmpty() ? zoneOf(d, zone) : stored);
    f.click("cmdReset");
    QCOMPARE(zoneOf(d, zone), want);
    QCOMPARE(rowZone(f.shown().zone, zone), want);
}

void TestLayoutDesigner::resaveKeepsFirstWindowSize() {
    Fixture f;
    LayoutDesigner* d = f.open();
    d->move(40, 50);
    f.click("cmdSave");
    const auto first = f.ctx.themes.loadLayout(f.key);
    QVERIFY(first);
    const double* me = first->zone[BoardTheme::Me];
    QCOMPARE((Rect{me[0], me[1], me[2], me[3]}), (Rect{600, 750, 10245, 5760}));
    d->close();
    QTRY_VERIFY(!f.slot);

    // Another resolution, another place: the row keeps its first size.
    f.ctx.session.designWidth = 1920;
    f.ctx.session.designHeight = 1080;
    d = f.open();
    QCOMPARE(d->pos(), QPoint(40, 50));
    d->move(70, 20);
    f.click("cmdSave");
    const auto second = f.ctx.themes.loadLayout(f.key);
    const double* again = second->zone[BoardTheme::Me];
    QCOMPARE((Rect{again[0], again[1], again[2], again[3]}), (Rect{1050, 300, 10245, 5760}));
}

void TestLayoutDesigner::closingEitherClosesBoth_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("designer") << "designer";
    QTest::newRow("control window") << "control";
    QTest::newRow("Exit") << "exit";
}

void TestLayoutDesigner::closingEitherClosesBoth() {
    QFETCH(QString, how);
    Fixture f;
    LayoutDesigner* d = f.open();
    QPointer<DesignControl> tool = d->tool();
    QVERIFY(tool->isVisible());
    QCOMPARE(tool->windowTitle(), QStringLiteral("Control"));
    // Docked at the designer's left edge.
    QCOMPARE(tool->frameGeometry().right() + 1, d->x());
    f.click("cmdEdit");
    const QPoint at = zoneCentre(d, LayoutModel::Logo);
    drag(d, d, at, at + QPoint(1, 1));
    QVERIFY(f.ctx.drafts.has(f.key));
    if (how == QLatin1String("designer"))
        d->close();
    else if (how == QLatin1String("control"))
        tool->close();
    else
        f.click("cmdExit");
    QTRY_VERIFY(!f.slot);
    QVERIFY(!tool);
    QVERIFY(!f.ctx.drafts.has(f.key));
    QVERIFY(!f.ctx.themes.hasLayout(f.key));
}

QTEST_MAIN(TestLayoutDesigner)
#include "tst_layoutdesigner.moc"
