// Timings of the workbook feed (run by hand; not a test):
//   bench_sheetfeed [rounds=20]
// 1. 200 currencies with 5 cells each, applied from a cell map read beforehand:
//    every round changes all 1000 values in one transaction.
// 2. A saved workbook to the change announcement the board repaints on, through
//    the file watcher alone (no timer tick), the file replaced by a rename.
#include "benchfigures.h"
#include "feeds/sheetfeed.h"
#include "sheetlines.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

using namespace quoteria;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    test::AppFixture fx(false);
    if (!fx.ready)
        return 1;
    for (int c = 0; c < 200; ++c) {
        CurrencyInput in;
        in.name = QStringLiteral("C%1").arg(c);
        in.active = true;
        for (int i = 0; i < 5; ++i)
            in.cells << QStringLiteral("%1,%2").arg(c + 1).arg(i + 1);
        if (!fx.currencies.add(in, ValueFormat{0, {}}).ok)
            return 1;
    }

    CellTexts cells;
    SheetFeed prepared(fx.currencies, [&cells](const QString&, const QVector<CellRef>&, QString*) {
        return std::optional<CellTexts>(cells);
    });
    const QString book = fx.env.dir() + QStringLiteral("/rates.xlsx");
    QFile(book).open(QIODevice::WriteOnly);
    prepared.configure(book, false, ValueFormat{});
    QList<double> apply;
    for (int round = 0; round < rounds; ++round) {
        for (int r = 1; r <= 200; ++r)
            for (int c = 1; c <= 5; ++c)
                cells.insert({r, c}, QString::number(r + c * 0.01 + round * 0.5, 'f', 4));
        QElapsedTimer t;
        t.start();
        const SheetFeed::Outcome o = prepared.runOnce();
        apply << t.nsecsElapsed() / 1e6;
        if (!o.ok || o.changes.size() != 1000) {
            std::printf("round %d: %lld changes, %s\n", round, qlonglong(o.changes.size()),
                        qPrintable(o.error));
            return 1;
        }
    }
    test::reportTimes("200 x 5 cells applied", apply);

    SheetFeed watched(fx.currencies, [](const QString& path, const QVector<CellRef>&, QString* e) {
        return test::readLines(path, e);
    });
    watched.configure(book, true, ValueFormat{});
    QElapsedTimer clock;
    qint64 announced = -1;
    QObject::connect(&fx.events, &DataEvents::currenciesChanged,
                     [&] { announced = clock.nsecsElapsed(); });
    QList<double> save;
    for (int round = 0; round < rounds; ++round) {
        QByteArray data;
        for (int r = 1; r <= 200; ++r)
            for (int c = 1; c <= 5; ++c)
                data += QByteArray::number(r) + ',' + QByteArray::number(c) + '=' +
                        QByteArray::number(r + c + round * 0.25, 'f', 4) + '\n';
        const QString tmp = book + QStringLiteral(".tmp");
        test::writeFile(tmp, data);
        announced = -1;
        clock.start();
        QFile::remove(book);
        QFile::rename(tmp, book);
        while (announced < 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (announced >= 0)
            save << announced / 1e6;
        else
            std::printf("round %d: nothing arrived within 5 s\n", round);
    }
    test::reportTimes("saved workbook -> change announced (watcher, 250 ms settle included)", save);
    return 0;
}
