// Figures for the currency list with many currencies: opening the window, reloading
// the grid and "Save All" of every row. Prints timings; asserts nothing about them.
//   bench_rates [currencies=1000] [rounds=5]
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/settingsstore.h"
#include "rates/currencylistwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTableView>
#include <algorithm>
#include <cstdio>

using namespace quoteria;

namespace {
struct Figures {
    QList<double> ms;
    void add(qint64 ns) { ms << ns / 1e6; }
    QString text() const {
        QList<double> s = ms;
        std::sort(s.begin(), s.end());
        return QStringLiteral("median %1 ms, max %2 ms")
            .arg(s.at(s.size() / 2), 0, 'f', 1)
            .arg(s.last(), 0, 'f', 1);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    test::AppFixture fx(false);
    if (!fx.ready)
        return 1;
    test::TestEnv& env = fx.env;
    Database& db = fx.db;
    AppContext& ctx = fx.ctx;
    ctx.session.userType = QStringLiteral("Admin");

    // 40 different flags, as a counter's table would have, shared by the rows.
    QStringList flags;
    for (int i = 0; i < 40; ++i) {
        QImage img(320, 240, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(i * 9, 200, 200));
        const QString path = env.dir() + QStringLiteral("/flag%1.png").arg(i);
        img.save(path);
        flags << path;
    }
    {
        Database::Transaction tx(db);
        for (int i = 0; i < count; ++i) {
            QVariantMap r;
            r[QStringLiteral("currName")] = QStringLiteral("Currency %1").arg(i);
            for (int c = 1; c <= 5; ++c)
                r[QStringLiteral("colum%1").arg(c)] = QString::number(1.0 + i / 1000.0 + c, 'f', 5);
            r[QStringLiteral("img")] = flags.at(i % flags.size());
            r[QStringLiteral("active")] = 1;
            r[QStringLiteral("pos")] = i + 1;
            r[QStringLiteral("vstate")] = QStringLiteral("N");
            db.insert(QStringLiteral("tblCurr"), r);
        }
        tx.commit();
    }

    Figures open, reload, save;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        auto* w = new CurrencyListWindow(ctx);
        w->show();
        QCoreApplication::processEvents(); // first paint
        open.add(t.nsecsElapsed());
        QAbstractItemModel* fg = w->findChild<QTableView*>(QStringLiteral("FG"))->model();
        if (fg->rowCount() != count) {
            std::fprintf(stderr, "grid has %d rows, expected %d\n", fg->rowCount(), count);
            return 1;
        }
        t.restart();
        w->addFG();
        QCoreApplication::processEvents();
        reload.add(t.nsecsElapsed());

        for (int r = 0; r < count; ++r)
            fg->setData(fg->index(r, 3), QString::number(2.0 + r / 1000.0 + round));
        t.restart();
        if (!w->saveAll()) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        save.add(t.nsecsElapsed());
        delete w;
    }
    std::printf("currencies: %d, rounds: %d\n", count, rounds);
    std::printf("open window + first paint: %s\n", qPrintable(open.text()));
    std::printf("reload grid (addFG):       %s\n", qPrintable(reload.text()));
    std::printf("Save All (incl. reload):   %s\n", qPrintable(save.text()));
    return 0;
}
