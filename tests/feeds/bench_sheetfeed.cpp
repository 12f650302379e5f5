// Timings of the workbook feed (run by hand; not a test):
//   bench_sheetfeed [rounds=20]
// 1. 200 currencies with 5 cells each, applied from a cell map read beforehand:
//    every round changes all 1000 values in one transaction.
// 2. The same 1000 cells read from a ~5 MB .xlsx and applied: the feed's whole path
//    from the file to the committed transaction.
// 3. A saved workbook to the board on screen showing the new value: the file
//    replaced by a rename, through the file watcher alone (no timer tick), until
//    the board view has painted its table with the new text.
#include "board/boardengine.h"
#include "board/boardloader.h"
#include "board/boardview.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "benchfigures.h"
#include "feeds/sheetfeed.h"
#include "sheetlines.h"
#include "testsupport.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPaintEvent>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace quoteria;

namespace {

// The rate a currency row's cell holds in a round; every round changes every one.
QByteArray rate(int row, int col, int round) {
    return QByteArray::number(row + col * 0.01 + round * 0.5, 'f', 4);
}

// Column letters of 1 .. 26.
char letter(int col) {
    return char('A' + col - 1);
}

// Rows below the rates that make the workbook some 5 MB, as a sheet kept next to
// the rates would: numbers that do not repeat, so they compress as real data does.
QByteArray padding(int firstRow) {
    QByteArray xml;
    quint32 seed = 12345;
    for (int r = firstRow; r < firstRow + 130000; ++r) {
        xml += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 1; c <= 5; ++c) {
            seed = seed * 1664525u + 1013904223u;
            xml += QByteArray("<c r=\"") + letter(c) + QByteArray::number(r) + "\"><v>" +
                   QByteArray::number((seed >> 8) / 1000.0, 'f', 3) + "</v></c>";
        }
        xml += "</row>";
    }
    return xml;
}

// An .xlsx of `rows` currency rows (5 cells each) above the padding, at path.
bool writeXlsx(const QString& path, int rows, int round, const QByteArray& pad) {
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    QByteArray sheet = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                       "main\"><sheetData>";
    for (int r = 1; r <= rows; ++r) {
        sheet += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 1; c <= 5; ++c)
            sheet += QByteArray("<c r=\"") + letter(c) + QByteArray::number(r) + "\"><v>" +
                     rate(r, c, round) + "</v></c>";
        sheet += "</row>";
    }
    sheet += pad + "</sheetData></worksheet>";
    const QList<QPair<QString, QByteArray>> parts{
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"_rels/.rels", "<Relationships><Relationship Id=\"r1\" Type=\"" + rel +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"Rates\" sheetId=\"1\" "
                                "r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheet},
    };
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto& [name, data] : parts) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 6) ||
            f.write(data) != data.size())
            return false;
        f.close();
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

// Writes the next version beside the workbook; saveOver() then renames it over the
// old one, as an office suite saves.
struct Saver {
    QString book;
    int rows = 0;
    QByteArray pad;
    QString next() const { return book + QStringLiteral(".next"); }
    bool write(int round) const { return writeXlsx(next(), rows, round, pad); }
    bool saveOver() const {
        return std::rename(QFile::encodeName(next()).constData(),
                           QFile::encodeName(book).constData()) == 0;
    }
};

// The board as it stands on screen, telling when a paint has drawn the table.
class TimedBoard : public BoardView {
public:
    std::function<void()> tablePainted;

protected:
    void paintEvent(QPaintEvent* event) override {
        BoardView::paintEvent(event);
        if (tablePainted && event->region().intersects(engine().zonePx(BoardEngine::ZoneTable)))
            tablePainted();
    }
};

bool addCurrencies(CurrencyStore& store, int count) {
    for (int c = 0; c < count; ++c) {
        CurrencyInput in;
        in.name = QStringLiteral("C%1").arg(c);
        in.active = true;
        for (int i = 0; i < 5; ++i)
            in.cells << QStringLiteral("%1,%2").arg(c + 1).arg(i + 1);
        if (!store.add(in, ValueFormat{0, {}}).ok)
            return false;
    }
    return true;
}

// One read and apply of the feed, timed; every one of the 1000 cells must change.
bool timedRun(SheetFeed& feed, int round, QList<double>& ms) {
    QElapsedTimer t;
    t.start();
    const SheetFeed::Outcome o = feed.runOnce();
    ms << t.nsecsElapsed() / 1e6;
    if (o.ok && o.changes.size() == 1000)
        return true;
    std::printf("round %d: %lld changes, %s\n", round, qlonglong(o.changes.size()),
                qPrintable(o.error));
    return false;
}

bool appliedFromCells(int rounds) {
    test::AppFixture fx(false);
    if (!fx.ready || !addCurrencies(fx.currencies, 200))
        return false;
    CellTexts cells;
    SheetFeed prepared(fx.currencies, [&cells](const QString&, const QVector<CellRef>&, QString*) {
        return std::optional<CellTexts>(cells);
    });
    const QString book = fx.env.dir() + QStringLiteral("/rates.xlsx");
    test::writeFile(book, QByteArray());
    prepared.configure(book, false, ValueFormat{});
    QList<double> apply;
    for (int round = 0; round < rounds; ++round) {
        for (int r = 1; r <= 200; ++r)
            for (int c = 1; c <= 5; ++c)
                cells.insert({r, c}, QString::fromLatin1(rate(r, c, round)));
        if (!timedRun(prepared, round, apply))
            return false;
    }
    test::reportTimes("200 x 5 cells applied", apply);
    return true;
}

bool readAndApplied(int rounds, const QByteArray& pad) {
    test::AppFixture fx(false);
    if (!fx.ready || !addCurrencies(fx.currencies, 200))
        return false;
    const Saver saver{fx.env.dir() + QStringLiteral("/rates.xlsx"), 200, pad};
    SheetFeed feed(fx.currencies, workbookReader());
    feed.configure(saver.book, false, ValueFormat{});
    QList<double> ms;
    for (int round = 0; round < rounds; ++round) {
        if (!saver.write(round) || !saver.saveOver()) {
            std::printf("round %d: the workbook could not be written\n", round);
            return false;
        }
        if (!timedRun(feed, round, ms))
            return false;
    }
    std::printf("workbook of %.1f MB\n", QFileInfo(saver.book).size() / 1048576.0);
    test::reportTimes("200 x 5 cells read from the workbook and applied", ms);
    return true;
}

bool savedToScreen(int rounds, const QByteArray& pad) {
    test::AppFixture fx(true);
    if (!fx.ready)
        return false;
    fx.ctx.dataFolder = fx.env.dir();
    fx.ctx.appFolder = QStringLiteral(QUOTERIA_SOURCE_DIR);
    // The demo's currencies, each row of them reading its own row of the workbook.
    const QVector<CurrencyRow> shown = fx.currencies.list(false);
    for (int i = 0; i < shown.size(); ++i) {
        const CurrencyRow& row = shown.at(i);
        CurrencyInput in{row.name, row.values, row.pos, true,    row.img,
                         false,    {},         row.low, row.high};
        for (int c = 1; c <= 5; ++c)
            in.cells << QStringLiteral("%1,%2").arg(i + 1).arg(c);
        if (!fx.currencies.change(row.key, in, ValueFormat{0, {}}).ok)
            return false;
    }
    const Saver saver{fx.env.dir() + QStringLiteral("/rates.xlsx"), int(shown.size()), pad};
    if (!saver.write(-1) || !saver.saveOver())
        return false;

    BoardChoices choices;
    choices.themeKey = themeKeyOf(fx.db, demoThemeName());
    BoardLoader loader(fx.ctx);
    TimedBoard view;
    view.resize(1366, 768);
    loader.drive(view.engine());
    view.load(loader.load(choices), &loader);
    view.show();

    SheetFeed feed(fx.currencies, workbookReader());
    feed.configure(saver.book, true, ValueFormat{});
    QElapsedTimer clock;
    QString before;
    qint64 painted = -1;
    view.tablePainted = [&] {
        if (painted < 0 && view.engine().rowText(0, 1) != before)
            painted = clock.nsecsElapsed();
    };
    QList<double> ms;
    for (int round = 0; round < rounds; ++round) {
        // Settled: the board shows the last round's values and the watcher is quiet.
        QElapsedTimer calm;
        calm.start();
        while (calm.elapsed() < 600)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!saver.write(round))
            return false;
        before = view.engine().rowText(0, 1);
        painted = -1;
        clock.start();
        if (!saver.saveOver())
            return false;
        while (painted < 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (painted >= 0)
            ms << painted / 1e6;
        else
            std::printf("round %d: the board showed nothing new within 5 s (%s)\n", round,
                        qPrintable(view.engine().rowText(0, 1)));
    }
    test::reportTimes("saved workbook -> board painted (watcher, 250 ms settle included)", ms);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const QByteArray pad = padding(201);
    if (!appliedFromCells(rounds) || !readAndApplied(rounds, pad) || !savedToScreen(rounds, pad))
        return 1;
    return 0;
}
