// Figures for the rate history (run by hand; not a test):
//   bench_history [rounds=10] [history rows=1000000]
// 1. A Save All of 1,000 currencies changing all five values (5,000 history rows),
//    against the same updates in one transaction with nothing logged, as a save
//    was before the history.
// 2. The CSV export of a history of 1,000,000 rows: time, and the peak memory
//    (resident) the export adds.
#include "benchfigures.h"
#include "data/currencystore.h"
#include "data/ratehistory.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

using namespace quoteria;

namespace {

// VmHWM (the peak resident size) from /proc, in kB; 0 where there is none.
long peakKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Starts the peak over at the present size (Linux: "5" into clear_refs).
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int historyRows = argc > 2 ? std::atoi(argv[2]) : 1000000;
    test::TestEnv env;
    Database db;
    if (!env.makeDatabase(db))
        return 1;
    CurrencyStore store(db);

    QVector<qint64> keys;
    {
        Connection::Transaction tx(db);
        for (int i = 0; i < 1000; ++i)
            keys << db.insert(currcol::Table, {{currcol::Name, QStringLiteral("C%1").arg(i)},
                                               {currcol::Pos, i + 1},
                                               {currcol::Active, 1}});
        tx.commit();
    }
    const ValueFormat format{6, QStringLiteral("0.00000")};
    QList<double> with, without;
    for (int round = 0; round < rounds; ++round) {
        // Every round writes new texts to every value, so each save changes them all.
        QVector<CurrencyStore::Edit> edits;
        for (int i = 0; i < keys.size(); ++i) {
            QStringList values;
            for (int c = 0; c < 5; ++c)
                values << QString::number(i + c * 0.1 + round * 2 + 0.5);
            edits.append({keys.at(i), values});
        }
        QElapsedTimer t;
        t.start();
        if (!store.saveValues(edits, format).ok)
            return 1;
        with << t.nsecsElapsed() / 1e6;

        for (auto& e : edits)
            for (QString& v : e.values)
                v = QString::number(v.toDouble() + 1);
        t.restart();
        {
            Connection::Transaction tx(db);
            const QString update = QStringLiteral(
                "update tblCurr set colum1=?,colum2=?,colum3=?,colum4=?,colum5=?,updateTime=? "
                "where currAuto=?");
            const QString stamp = CurrencyStore::timeText(QDateTime::currentDateTime());
            for (const auto& e : edits) {
                QVariantList binds;
                for (const QString& v : e.values)
                    binds << CurrencyStore::listValue(v, format);
                binds << stamp << e.key;
                db.exec(update, binds);
            }
            tx.commit();
        }
        without << t.nsecsElapsed() / 1e6;
    }
    test::reportTimes("Save All, 1000 rows x 5 values, with history", with);
    test::reportTimes("Save All, 1000 rows x 5 values, without history", without);

    // A history of the wanted size, spread over a year, written in one go.
    db.exec(QStringLiteral("delete from tblRateHistory"));
    {
        Connection::Transaction tx(db);
        const QDateTime start(QDate(2025, 1, 1), QTime(0, 0));
        const int perStamp = 100;
        for (int i = 0; i < historyRows; i += perStamp) {
            HistoryWriter w(db, {ChangeSource::SheetFeed, {}, start.addSecs(i / 3)});
            for (int j = i; j < qMin(historyRows, i + perStamp); ++j)
                if (!w.log(keys.at(j % 1000), QStringLiteral("C%1, \"x\"").arg(j % 1000), j % 5,
                           QString::number(j), QString::number(j + 1))) {
                    std::fprintf(stderr, "%s\n", qPrintable(db.lastError()));
                    return 1;
                }
        }
        tx.commit();
    }
    const QString file = env.dir() + QStringLiteral("/history.csv");
    resetPeak();
    const long before = peakKb();
    QElapsedTimer t;
    t.start();
    QString error;
    const qint64 written = exportHistoryCsv(db, {}, file, &error);
    const double ms = t.nsecsElapsed() / 1e6;
    const long after = peakKb();
    if (written < 0) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Export of %lld history rows: %.0f ms, %.1f MB file, peak resident %ld kB "
                "before and %ld kB during (+%ld kB)\n",
                qlonglong(written), ms, QFileInfo(file).size() / 1e6, before, after,
                after - before);
    return 0;
}
