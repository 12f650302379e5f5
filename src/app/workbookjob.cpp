#include "app/cliutil.h"
#include "app/jobs.h"
#include "feeds/workbook.h"

#include <QRegularExpression>

namespace quoteria {

int readCellsCommand(const QStringList& args) {
    const QString usage =
        QStringLiteral("usage: quoteria --read-cells WORKBOOK ROW,COLUMN [ROW,COLUMN ...]");
    const QStringList rest = args.mid(args.indexOf(QStringLiteral("--read-cells")) + 1);
    if (rest.size() < 2) {
        cli::err(usage);
        return 2;
    }
    // The same form as a currency's cell columns: two whole numbers from 1.
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,9})\\s*,\\s*(\\d{1,9})\\s*$"));
    QVector<CellRef> cells;
    for (const QString& a : rest.mid(1)) {
        const QRegularExpressionMatch m = form.match(a);
        const CellRef c{m.captured(1).toInt(), m.captured(2).toInt()};
        if (!m.hasMatch() || c.row < 1 || c.col < 1) {
            cli::err(QStringLiteral("\"%1\" is not a cell: give its row and column, from 1, "
                                    "as R,C")
                         .arg(a));
            cli::err(usage);
            return 2;
        }
        cells << c;
    }
    QString error;
    const auto book = WorkbookCells::read(rest.first(), cells, &error);
    if (!book) {
        cli::err(QStringLiteral("%1 cannot be read: %2").arg(rest.first(), error));
        return 1;
    }
    for (const CellRef& c : cells)
        cli::out(book->text(c));
    return 0;
}

} // namespace quoteria
