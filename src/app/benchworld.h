#pragma once
// What the benchmarks share: a private demo database with its settings and
// context, and the spread of a series of timings.
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/settingsstore.h"
#include "data/themestore.h"

#include <QSize>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace quoteria {

struct BenchWorld {
    QTemporaryDir dir;
    Database db{QStringLiteral("quoteria-bench")};
    DataEvents events;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AppContext> ctx;
    // Makes the database with the demonstration data; false (reported) when it fails.
    bool open();
    // The demonstration theme laid out for a screen of size at tpp twips a pixel,
    // with rows active currencies and the title running as a marquee; saved. An
    // empty size keeps the theme's design size (a board fitted to its screen).
    bool makeBoardTheme(const QSize& size, int rows, int tpp, BoardTheme* theme);
};

struct Spread {
    double median = 0, p99 = 0, max = 0, mean = 0;
};
// Of a non-empty series.
Spread spreadOf(std::vector<double> values);

} // namespace quoteria
