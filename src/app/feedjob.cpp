// The workbook feed run once from the command line, without the windows.
#include "app/cliutil.h"
#include "app/jobs.h"
#include "data/currencystore.h"
#include "data/dataevents.h"
#include "data/settingsstore.h"
#include "feeds/sheetfeed.h"
#include "rates/feedscheduler.h"

#include <QDir>

namespace quoteria {

int feedOnceCommand(const QStringList&) {
    DbLocation loc;
    Database db(QStringLiteral("quoteria-feed"));
    if (!cli::openProgramDatabase(db, &loc))
        return 1;
    const SettingsStore settings;
    const ExcelFeedSettings excel = ExcelFeedSettings::stored(settings);
    if (excel.source.isEmpty()) {
        cli::err(QStringLiteral("No workbook is set for the feed (Other Settings, Select Excel)"));
        return 1;
    }
    DataEvents events;
    CurrencyStore store(db, &events);
    SheetFeed feed(store, workbookReader());
    feed.configure(excel.source, false, ValueFormat{excel.keep, excel.format});
    const SheetFeed::Outcome o = feed.runOnce();
    if (!o.ok) {
        cli::err(QStringLiteral("Cannot read the workbook %1: %2")
                     .arg(QDir::toNativeSeparators(excel.source), o.error));
        return 1;
    }
    for (const FeedChange& c : o.changes)
        cli::out(QStringLiteral("%1\t%2\t%3 \u2192 %4")
                     .arg(c.currency, QString(currcol::Values[c.column]), c.before, c.after));
    cli::err(QStringLiteral("%1 value(s) changed").arg(o.changes.size()));
    return 0;
}

} // namespace quoteria
