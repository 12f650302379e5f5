#include "app/benchworld.h"

#include "app/cliutil.h"
#include "data/demodata.h"

#include <QCoreApplication>
#include <algorithm>
#include <numeric>

namespace quoteria {

bool BenchWorld::open() {
    NewDatabaseOptions opt;
    opt.adminPassword = QStringLiteral("bench");
    opt.demo = true;
    if (!dir.isValid() || !db.create(dir.filePath(QStringLiteral("bench.db"))) ||
        !populateNewDatabase(db, opt)) {
        cli::err(QStringLiteral("Cannot build the benchmark database: %1").arg(db.lastError()));
        return false;
    }
    settings = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("config")));
    ctx = std::make_unique<AppContext>(db, *settings, events, Session{}, dir.path(),
                                       QCoreApplication::applicationDirPath());
    return true;
}

bool BenchWorld::makeBoardTheme(const QSize& size, int rows, int tpp, BoardTheme* out) {
    ThemeStore& themes = ctx->themes;
    BoardTheme theme = themes.loadByName(demoThemeName());
    const double fx = size.width() * tpp / 2.0 / 10245.0, fy = size.height() * tpp / 2.0 / 5760.0;
    for (auto& zone : theme.zone) {
        if (size.isEmpty())
            break;
        zone[0] *= fx; // left, top, width, height
        zone[1] *= fy;
        zone[2] *= fx;
        zone[3] *= fy;
    }
    theme.scroll = 1;
    theme.colwidth = QStringLiteral("600;2400;1600;1600;1600;0;0");
    QString error;
    if (!theme.found || themes.save(theme, &error) == 0 || !setDemoCurrencyCount(db, rows)) {
        cli::err(QStringLiteral("Cannot build the benchmark database: %1")
                     .arg(error.isEmpty() ? db.lastError() : error));
        return false;
    }
    *out = theme;
    return true;
}

Spread spreadOf(std::vector<double> values) {
    Spread s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.median = values[values.size() / 2];
    s.p99 = values[std::min(values.size() - 1, size_t(double(values.size()) * 0.99))];
    s.max = values.back();
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    return s;
}

} // namespace quoteria
