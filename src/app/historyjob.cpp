// The rate history export without a window, for an office's own records.
#include "app/cliutil.h"
#include "app/jobs.h"
#include "data/ratehistory.h"

#include <QDir>

namespace quoteria {

int exportHistoryCommand(const QStringList& args) {
    const QString flag = QStringLiteral("--export-history");
    const QString usage =
        QStringLiteral("usage: quoteria --export-history FROM TO FILE.csv (dates as YYYY-MM-DD)");
    const QString fromText = cli::argumentAfter(args, flag, 1);
    const QString toText = cli::argumentAfter(args, flag, 2);
    const QString file = cli::argumentAfter(args, flag, 3);
    if (fromText.isEmpty() || toText.isEmpty() || file.isEmpty()) {
        cli::err(usage);
        return 2;
    }
    HistoryFilter f;
    f.from = QDate::fromString(fromText, QStringLiteral("yyyy-MM-dd"));
    f.to = QDate::fromString(toText, QStringLiteral("yyyy-MM-dd"));
    for (const auto& [date, text] : {std::make_pair(f.from, fromText), std::make_pair(f.to, toText)})
        if (!date.isValid()) {
            cli::err(QStringLiteral("Not a date: \"%1\"\n%2").arg(text, usage));
            return 2;
        }
    if (f.from > f.to) {
        cli::err(QStringLiteral("FROM (%1) is after TO (%2)").arg(fromText, toText));
        return 2;
    }
    DbLocation loc;
    Database db(QStringLiteral("quoteria-history-export"));
    if (!cli::openProgramDatabase(db, &loc))
        return 1;
    QString error;
    const qint64 rows = exportHistoryCsv(db, f, file, &error);
    if (rows < 0) {
        cli::err(error);
        return 1;
    }
    cli::out(QStringLiteral("%1 change(s) written to %2").arg(rows).arg(QDir::toNativeSeparators(file)));
    return 0;
}

} // namespace quoteria
