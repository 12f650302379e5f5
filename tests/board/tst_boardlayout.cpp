#include "board/boardfit.h"
#include "board/boardlayout.h"
#include "data/themestore.h"

#include <QtTest>

using namespace quoteria;

class TestBoardLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workedExample();
    void zeroWidthColumnClosesUp();
    void columnWidths_data();
    void columnWidths();
    void overflow_data();
    void overflow();
    void zonesAreDoubled();
    void previewProfile();
    void previewAgainstBoard_data();
    void previewAgainstBoard();
    void previewTickerStep_data();
    void previewTickerStep();
    void pixelRectsHaveNoSeams();
    void placement_data();
    void placement();
    void designSize_data();
    void designSize();
    void playerTurnsWithTheBoard_data();
    void playerTurnsWithTheBoard();
};

namespace {
BoardTheme
exampleTheme(const QString& widths = QStringLiteral("600;2500;1500;1500;1500;1500;1500")) {
    BoardTheme t;
    t.found = t.hasPosition = t.hasHeader = true;
    t.colwidth = widths;
    t.vgap = 20;
    t.hgap = 20;
    t.rowheight = 200;
    // Table zone stored at half scale: 100, 1000, 9000 x 2000.
    t.zone[BoardTheme::Table][0] = 100;
    t.zone[BoardTheme::Table][1] = 1000;
    t.zone[BoardTheme::Table][2] = 9000;
    t.zone[BoardTheme::Table][3] = 2000;
    return t;
}
} // namespace

void TestBoardLayout::workedExample() {
    const TableGeometry g = tableGeometry(exampleTheme(), BoardProfile::board());
    QCOMPARE(g.fg, QRect(200, 2000, 18000, 4000));
    QCOMPARE(g.wGap, 40);
    QCOMPARE(g.hGap, 40);
    QCOMPARE(g.header[0].left(), g.fg.left() + 40);
    QCOMPARE(g.header[0].width(), 6240);
    QCOMPARE(g.header[1].left(), g.fg.left() + 6320);
    QCOMPARE(g.cellLeft[2], 6320); // col1 lies exactly under Header2
    QCOMPARE(g.cellLeft[1], 1280); // curr
    QCOMPARE(g.cellLeft[0], 40);   // flag
    QCOMPARE(g.cellWidth[0], 1200);
    QCOMPARE(g.cellWidth[1], 5000);
    QCOMPARE(g.headerHeight, 500);
    QCOMPARE(g.header[0].height(), 500);
    QCOMPARE(g.header[0].top(), g.fg.top());
    QCOMPARE(g.rowTop(0), 540);
    QCOMPARE(g.rowHeight, 400);
    QCOMPARE(g.rowTop(1) - g.rowTop(0), 440);
    // Every value column sits under its header.
    for (int j = 2; j < 7; ++j) {
        QCOMPARE(g.cellLeft[j], g.header[j - 1].left() - g.fg.left());
        QCOMPARE(g.cellWidth[j], g.header[j - 1].width());
    }
    QCOMPARE(g.header[2].left(), g.header[1].left() + 3000 + 40);
}

void TestBoardLayout::zeroWidthColumnClosesUp() {
    const TableGeometry g = tableGeometry(
        exampleTheme(QStringLiteral("600;2500;1500;0;1500;0;1500")), BoardProfile::board());
    QVERIFY(g.headerVisible[1]);
    QVERIFY(!g.headerVisible[2]);
    QVERIFY(g.headerVisible[3]);
    QVERIFY(!g.headerVisible[4]);
    QVERIFY(g.headerVisible[5]);
    QCOMPARE(g.cellWidth[3], 0);
    // The next column closes up by the hidden width; its gap stays.
    QCOMPARE(g.header[3].left(), g.header[1].left() + 3000 + 40 + 0 + 40);
    QCOMPARE(g.cellLeft[4], g.header[3].left() - g.fg.left());
    QCOMPARE(g.header[5].left(), g.header[3].left() + 3000 + 40 + 40);
}

void TestBoardLayout::columnWidths_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("seven") << "1;2;3;4;5;6;7" << QList<double>{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("fewer than seven") << "600;2400" << QList<double>{600, 2400, 0, 0, 0, 0, 0};
    QTest::newRow("empty") << "" << QList<double>{0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("non-numeric") << "abc;12x;;-5;1e3;9;9;9"
                                 << QList<double>{0, 12, 0, -5, 1000, 9, 9};
    QTest::newRow("huge is bounded") << "1e300" << QList<double>{10000000, 0, 0, 0, 0, 0, 0};
}

void TestBoardLayout::columnWidths() {
    QFETCH(QString, text);
    QFETCH(QList<double>, expected);
    double w[7];
    quoteria::columnWidths(text, w);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(w[i], expected[i]);
}

void TestBoardLayout::overflow_data() {
    QTest::addColumn<int>("zoneHeight"); // stored (half-scale) twips
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("overflows");
    // Rows end at 540 + 400 + (n - 1) * 440 twips.
    QTest::newRow("no rows") << 100 << 0 << false;
    QTest::newRow("fits") << 1200 << 4 << false;   // 2260 < 2400
    QTest::newRow("touches") << 1130 << 4 << true; // 2260 >= 2260
    QTest::newRow("one more") << 1200 << 5 << true;
}

void TestBoardLayout::overflow() {
    QFETCH(int, zoneHeight);
    QFETCH(int, rows);
    QFETCH(bool, overflows);
    BoardTheme t = exampleTheme();
    t.zone[BoardTheme::Table][3] = zoneHeight;
    QCOMPARE(tableGeometry(t, BoardProfile::board()).overflows(rows), overflows);
}

void TestBoardLayout::zonesAreDoubled() {
    BoardTheme t;
    t.zone[BoardTheme::News][0] = 0;
    t.zone[BoardTheme::News][1] = 5180;
    t.zone[BoardTheme::News][2] = 10245;
    t.zone[BoardTheme::News][3] = 580;
    QCOMPARE(zoneRect(t, BoardTheme::News, BoardProfile::board()), QRect(0, 10360, 20490, 1160));
    BoardProfile asStored;
    asStored.scale = 1;
    QCOMPARE(zoneRect(t, BoardTheme::News, asStored), QRect(0, 5180, 10245, 580));
    const PixelMap pm(15);
    QCOMPARE(pm.rect(zoneRect(t, BoardTheme::News, BoardProfile::board())),
             QRect(0, 691, 1366, 77));
}

void TestBoardLayout::previewProfile() {
    // Values as stored, header strip above a zone shortened by 495 twips.
    const TableGeometry g = tableGeometry(
        exampleTheme(QStringLiteral("600;2500;1500;0;1500;1500;1500")), BoardProfile::preview());
    QCOMPARE(g.fg, QRect(100, 1495, 9000, 1505));
    QCOMPARE(g.header[0], QRect(100, 1000, 3280, 200));
    QCOMPARE(g.header[1], QRect(3380, 1000, 1540, 200));
    // A width-0 column keeps a header wGap wide; the next one starts w later.
    QCOMPARE(g.header[2], QRect(4880, 1000, 40, 200));
    QCOMPARE(g.header[3].left(), 4880);
    QVERIFY(g.headerVisible[2]);
    QCOMPARE(g.rowTop(0), 240);
    QCOMPARE(g.rowTop(1), 480);
    QCOMPARE(g.cellLeft[0], 100);
    QCOMPARE(g.cellLeft[1], 720);
    QCOMPARE(g.cellLeft[2], 3260);
    QCOMPARE(g.cellLeft[3], 4800);
    QCOMPARE(g.cellLeft[4], 4840);
    QCOMPARE(BoardProfile::preview().speedFactor, 0.5);
}

void TestBoardLayout::previewAgainstBoard_data() {
    QTest::addColumn<QString>("widths");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("rowheight");
    QTest::addColumn<QRect>("zone"); // stored table zone
    QTest::newRow("worked example")
        << "600;2500;1500;1500;1500;1500;1500" << 20 << 200 << QRect(100, 1000, 9000, 2000);
    QTest::newRow("zero-width value columns")
        << "600;2400;1600;0;1600;0;0" << 20 << 200 << QRect(60, 1040, 6420, 4230);
    QTest::newRow("odd values") << "333;1777;901;77;0;1;2" << 13 << 157
                                << QRect(17, 523, 4999, 1111);
}

void TestBoardLayout::previewAgainstBoard() {
    QFETCH(QString, widths);
    QFETCH(int, gap);
    QFETCH(int, rowheight);
    QFETCH(QRect, zone);
    BoardTheme t = exampleTheme(widths);
    t.vgap = t.hgap = gap;
    t.rowheight = rowheight;
    const int v[4] = {zone.x(), zone.y(), zone.width(), zone.height()};
    std::copy(v, v + 4, t.zone[BoardTheme::Table]);
    double w[7];
    quoteria::columnWidths(widths, w);
    const TableGeometry board = tableGeometry(t, BoardProfile::board());
    const TableGeometry prv = tableGeometry(t, BoardProfile::preview());

    // The board doubles the zone; the preview keeps it, with the header strip of one
    // design-time header (495 twips) above a zone shortened by it.
    QCOMPARE(board.fg, QRect(2 * zone.x(), 2 * zone.y(), 2 * zone.width(), 2 * zone.height()));
    QCOMPARE(prv.fg, zone.adjusted(0, 495, 0, 0));
    QCOMPARE(prv.rowTop(1) - prv.rowTop(0), rowheight + 2 * gap);
    for (int k = 0; k < 6; ++k) {
        QCOMPARE(prv.header[k].top(), prv.fg.top() - 495);
        QCOMPARE(prv.header[k].height(), rowheight);
        // A 0-width column hides its header on the board and keeps one wGap wide here.
        QVERIFY(prv.headerVisible[k]);
        QCOMPARE(board.headerVisible[k], k == 0 || w[k + 1] != 0);
        if (k > 0)
            QCOMPARE(prv.header[k].width(), int(w[k + 1]) + 2 * gap);
    }
    for (int j = 0; j < 7; ++j)
        QCOMPARE(2 * prv.cellWidth[j], board.cellWidth[j]);
}

void TestBoardLayout::pixelRectsHaveNoSeams() {
    const PixelMap pm(15);
    // Neighbouring cells 40 twips apart never overlap after rounding.
    for (int left = 0; left < 300; left += 7) {
        const QRect a = pm.rect(QRect(left, 0, 1000, 400));
        const QRect b = pm.rect(QRect(left + 1000 + 40, 0, 1000, 400));
        QVERIFY(a.right() < b.left());
    }
    QCOMPARE(PixelMap(0).twipsPerPixel, 15);
    QCOMPARE(pm.px(-22), -1);
    QCOMPARE(pm.px(22), 1);
}

void TestBoardLayout::previewTickerStep_data() {
    QTest::addColumn<int>("board");
    QTest::addColumn<int>("preview");
    QTest::newRow("25: half down to even") << 25 << 12;
    QTest::newRow("30: exact") << 30 << 15;
    QTest::newRow("35: half up to even") << 35 << 18;
    QTest::newRow("1") << 1 << 0;
    QTest::newRow("3") << 3 << 2;
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("-25") << -25 << -12;
}

void TestBoardLayout::previewTickerStep() {
    QFETCH(int, board);
    QFETCH(int, preview);
    QCOMPARE(quoteria::previewTickerStep(board), preview);
    // Each surface's step comes from that one rule.
    QCOMPARE(BoardProfile::preview().tickerStep(board), preview);
    QCOMPARE(BoardProfile::board().tickerStep(board), board);
}

void TestBoardLayout::placement_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("design");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("board");  // on the frame
    QTest::addColumn<QPoint>("corner"); // the design's top-left corner on the screen
    const QSize wide(1366, 768);
    QTest::newRow("off: drawn 1:1 from the corner")
        << QSize(1920, 1080) << wide << false << 0 << QSize(1920, 1080)
        << QRect(0, 0, 1366, 768) << QPoint(0, 0);
    QTest::newRow("full HD") << QSize(1920, 1080) << wide << true << 0 << QSize(1920, 1080)
                             << QRect(0, 0, 1920, 1079) << QPoint(0, 0);
    QTest::newRow("4K") << QSize(3840, 2160) << wide << true << 0 << QSize(3840, 2160)
                        << QRect(0, 0, 3840, 2159) << QPoint(0, 0);
    QTest::newRow("twice the design") << QSize(2732, 1536) << wide << true << 0
                                      << QSize(2732, 1536) << QRect(0, 0, 2732, 1536)
                                      << QPoint(0, 0);
    QTest::newRow("square: bands above and below")
        << QSize(1000, 1000) << wide << true << 0 << QSize(1000, 1000)
        << QRect(0, 219, 1000, 562) << QPoint(0, 219);
    QTest::newRow("wide: bands left and right, no upscaling beyond the height")
        << QSize(2000, 768) << wide << true << 0 << QSize(2000, 768) << QRect(317, 0, 1366, 768)
        << QPoint(317, 0);
    QTest::newRow("smaller screen shrinks")
        << QSize(683, 384) << wide << true << 0 << QSize(683, 384) << QRect(0, 0, 683, 384)
        << QPoint(0, 0);
    QTest::newRow("90: landscape design on a screen turned to portrait")
        << QSize(1920, 1080) << wide << true << 90 << QSize(1080, 1920)
        << QRect(0, 656, 1080, 607) << QPoint(1264, 0);
    QTest::newRow("180 unfitted") << QSize(1920, 1080) << wide << false << 180
                                  << QSize(1920, 1080) << QRect(0, 0, 1366, 768)
                                  << QPoint(1920, 1080);
    QTest::newRow("270: portrait design") << QSize(1920, 1080) << QSize(768, 1366) << true << 270
                                          << QSize(1080, 1920) << QRect(0, 0, 1079, 1920)
                                          << QPoint(0, 1080);
    QTest::newRow("no design size: the frame") << QSize(800, 600) << QSize() << true << 0
                                               << QSize(800, 600) << QRect(0, 0, 800, 600)
                                               << QPoint(0, 0);
}

void TestBoardLayout::placement() {
    QFETCH(QSize, screen);
    QFETCH(QSize, design);
    QFETCH(bool, fit);
    QFETCH(int, rotation);
    QFETCH(QSize, frame);
    QFETCH(QRect, board);
    QFETCH(QPoint, corner);
    BoardPlacement p;
    p.screen = screen;
    p.design = design;
    p.fit = fit;
    p.rotation = rotation;
    QCOMPARE(p.frame(), frame);
    QCOMPARE(p.boardRect(), board);
    QCOMPARE(p.origin(), board.topLeft());
    QCOMPARE(p.toScreen().map(QPointF(board.topLeft())).toPoint(), corner);
    // Uniform: one scale for both sides, within a pixel of the rounded board.
    if (fit && !design.isEmpty()) {
        QVERIFY(qAbs(design.width() * p.scale() - board.width()) <= 1.0);
        QVERIFY(qAbs(design.height() * p.scale() - board.height()) <= 1.0);
    } else {
        QCOMPARE(p.scale(), 1.0);
    }
    // The board lands on the screen whole, and maps back to where it was.
    const QRect onScreen = p.toScreen(board);
    QVERIFY(QRect(QPoint(0, 0), screen).contains(onScreen));
    QCOMPARE(p.toFrame(onScreen), board);
}

void TestBoardLayout::designSize_data() {
    QTest::addColumn<QRectF>("me");    // stored (half-scale) twips; 0 x 0: none
    QTest::addColumn<QSizeF>("stored"); // SWidth x SHeight
    QTest::addColumn<QRectF>("news");  // a zone that may reach beyond the rest
    QTest::addColumn<QSize>("expected");
    const QRectF me(0, 0, 10245, 5760); // 1366 x 768 at 15 twips a pixel, doubled
    const QRectF inside(0, 5330, 10245, 430);
    QTest::newRow("design surface") << me << QSizeF(1024, 600) << inside << QSize(1366, 768);
    QTest::newRow("a zone beyond it grows it")
        << me << QSizeF() << QRectF(0, 5330, 12000, 430) << QSize(1600, 768);
    QTest::newRow("stored screen size without a surface")
        << QRectF() << QSizeF(1280, 720) << QRectF(0, 3000, 7000, 430) << QSize(1280, 720);
    QTest::newRow("the zones' extent alone")
        << QRectF() << QSizeF() << QRectF(0, 3000, 7000, 430) << QSize(1213, 457);
    QTest::newRow("a surface at an offset counts by its size")
        << QRectF(500, 500, 10245, 5760) << QSizeF() << inside << QSize(1366, 768);
    QTest::newRow("nothing usable") << QRectF() << QSizeF(5, 5) << QRectF() << QSize();
}

void TestBoardLayout::designSize() {
    QFETCH(QRectF, me);
    QFETCH(QSizeF, stored);
    QFETCH(QRectF, news);
    QFETCH(QSize, expected);
    BoardTheme t = news.isEmpty() ? BoardTheme() : exampleTheme();
    t.hasPosition = !news.isEmpty() || !me.isEmpty();
    const auto set = [&t](int zone, const QRectF& r) {
        t.zone[zone][0] = r.x();
        t.zone[zone][1] = r.y();
        t.zone[zone][2] = r.width();
        t.zone[zone][3] = r.height();
    };
    set(BoardTheme::Me, me);
    set(BoardTheme::News, news);
    t.swidth = stored.width();
    t.sheight = stored.height();
    QCOMPARE(quoteria::designSize(t, BoardProfile::board(), 15), expected);
}

// A player stands on the turned zone; its upright picture must land on the screen
// exactly where the board puts the zone's own corners.
void TestBoardLayout::playerTurnsWithTheBoard_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QRect>("zone"); // on the frame
    QTest::addColumn<int>("rotation");
    const QSize hd(1920, 1080);
    const QRect zone(40, 100, 320, 180);
    for (int rotation : {0, 90, 180, 270}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 fitted").arg(rotation)))
            << hd << true << zone << rotation;
        QTest::newRow(qPrintable(QStringLiteral("%1 1:1").arg(rotation)))
            << hd << false << zone << rotation;
        QTest::newRow(qPrintable(QStringLiteral("%1 square zone at the corner").arg(rotation)))
            << QSize(1000, 1000) << true << QRect(0, 0, 200, 200) << rotation;
    }
}

void TestBoardLayout::playerTurnsWithTheBoard() {
    QFETCH(QSize, screen);
    QFETCH(bool, fit);
    QFETCH(QRect, zone);
    QFETCH(int, rotation);
    BoardPlacement board;
    board.screen = screen;
    board.design = QSize(1366, 768);
    board.fit = fit;
    board.rotation = rotation;
    const QRect widget = board.toScreen(zone);
    const PlayerTurn turn{rotation};
    QCOMPARE(turn.upright(widget.size()), zone.size());

    const QTransform toWidget = turn.toWidget(widget.size());
    const QRectF z(zone);
    const QPointF w(zone.width(), zone.height());
    const QPointF zoneCorners[] = {z.topLeft(), z.topRight(), z.bottomLeft(), z.bottomRight()};
    const QPointF pictureCorners[] = {{0, 0}, {w.x(), 0}, {0, w.y()}, w};
    for (int i = 0; i < 4; ++i) {
        const QPointF byBoard = board.toScreen().map(zoneCorners[i]);
        const QPointF byPlayer = QPointF(widget.topLeft()) + toWidget.map(pictureCorners[i]);
        QCOMPARE(byPlayer, byBoard);
    }
}

QTEST_GUILESS_MAIN(TestBoardLayout)
#include "tst_boardlayout.moc"
