#include "feeds/workbook.h"

#include "data/formats.h"
#include "feeds/workbookparser.h"

#include <freexl.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace quoteria {

namespace {

quint64 keyOf(int row, int col) {
    return (quint64(quint32(row)) << 32) | quint32(col);
}

enum class Kind { Zip, Ole, Text };

Kind contentKind(const QByteArray& head) {
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return Kind::Zip;
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return Kind::Ole;
    return Kind::Text;
}

} // namespace

WantedCells::WantedCells(const QVector<CellRef>& cells) {
    for (const CellRef& c : cells)
        if (c.row > 0 && c.col > 0)
            m_rows[c.row].push_back(c.col);
    for (auto& r : m_rows) {
        std::sort(r.second.begin(), r.second.end());
        r.second.erase(std::unique(r.second.begin(), r.second.end()), r.second.end());
    }
}

bool WantedCells::anyInRows(qint64 first, qint64 last) const {
    const auto r = m_rows.lower_bound(int(qMin<qint64>(first, INT_MAX)));
    return r != m_rows.end() && r->first <= last;
}

void WorkbookParser::put(qint64 row0, qint64 row1, qint64 col0, qint64 col1, const QString& text) {
    m_wanted.each(row0, row1, col0, col1,
                  [&](int row, int col) { m_cells.m_cells.insert(keyOf(row, col), text); });
}

QString serialFromIsoDate(const QString& iso) {
    QDateTime when = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!when.isValid()) {
        const QDate day = QDate::fromString(iso, Qt::ISODate);
        if (!day.isValid())
            return QString();
        when = QDateTime(day, QTime(0, 0));
    }
    const qint64 days = when.date().toJulianDay() - QDate(1899, 12, 30).toJulianDay();
    return plainDecimal(double(days) + when.time().msecsSinceStartOfDay() / 86400000.0);
}

QString WorkbookCells::text(const CellRef& cell) const {
    return m_cells.value(keyOf(cell.row, cell.col));
}

std::optional<WorkbookCells> WorkbookCells::read(const QString& path,
                                                 const QVector<CellRef>& wanted, QString* error) {
    const auto refuse = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QFile file(path);
    if (!file.exists())
        return refuse(QStringLiteral("the file does not exist"));
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    if (file.size() == 0)
        return refuse(QStringLiteral("the file is empty"));
    const Kind kind = contentKind(file.read(8));
    file.close();

    // The name says what the file should be, the content whether it is.
    const QString ext = QFileInfo(path).suffix().toLower();
    WorkbookParser parser(wanted);
    bool ok = false;
    if (ext == QLatin1String("xlsx") || ext == QLatin1String("xlsm")) {
        if (kind != Kind::Zip)
            return refuse(QStringLiteral("it is named .%1 but is not a zip archive").arg(ext));
        ok = parser.readXlsx(path);
    } else if (ext == QLatin1String("ods")) {
        if (kind != Kind::Zip)
            return refuse(QStringLiteral("it is named .ods but is not a zip archive"));
        ok = parser.readOds(path);
    } else if (ext == QLatin1String("xls")) {
        if (kind != Kind::Ole)
            return refuse(QStringLiteral("it is named .xls but is not an Excel 97-2003 file"));
        ok = parser.readXls(path);
    } else if (ext == QLatin1String("csv") || ext == QLatin1String("txt")) {
        if (kind != Kind::Text)
            return refuse(QStringLiteral("it is named .%1 but holds binary data").arg(ext));
        ok = parser.readCsv(path);
    } else {
        return refuse(QStringLiteral("files named .%1 are not read as workbooks; use .xlsx, "
                                     ".xlsm, .ods, .xls or .csv")
                          .arg(ext));
    }
    if (!ok)
        return refuse(parser.why());
    return std::move(parser.cells());
}

// ---- .xls ----

bool WorkbookParser::readXls(const QString& path) {
    // FreeXL loads the whole file; a rate workbook is far smaller than this.
    if (QFileInfo(path).size() > kMaxPartBytes)
        return fail(QStringLiteral("the file is larger than %1 MB").arg(kMaxPartBytes >> 20));
    const void* handle = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (rc != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        return fail(QStringLiteral("it is damaged or not an Excel 97-2003 workbook "
                                   "(FreeXL error %1)")
                        .arg(rc));
    }
    const auto done = [&](bool ok) {
        freexl_close(handle);
        return ok;
    };
    unsigned int sheets = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return done(fail(QStringLiteral("it holds no worksheet")));
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK)
        return done(fail(QStringLiteral("its first worksheet cannot be read")));
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK)
        return done(fail(QStringLiteral("its first worksheet cannot be read")));
    m_wanted.each(1, rows, 1, cols, [&](int row, int col) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(handle, unsigned(row - 1), (unsigned short)(col - 1), &v) !=
            FREEXL_OK)
            return;
        QString text;
        switch (v.type) {
        case FREEXL_CELL_INT:
            text = QString::number(v.value.int_value);
            break;
        case FREEXL_CELL_DOUBLE:
            text = plainDecimal(v.value.double_value);
            break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            text = QString::fromUtf8(v.value.text_value);
            break;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
            text = serialFromIsoDate(QString::fromLatin1(v.value.text_value)
                                         .replace(QLatin1Char(' '), QLatin1Char('T')));
            break;
        case FREEXL_CELL_TIME:
            text =
                plainDecimal(QTime::fromString(QString::fromLatin1(v.value.text_value), Qt::ISODate)
                                 .msecsSinceStartOfDay() /
                             86400000.0);
            break;
        default:
            break;
        }
        if (!text.isEmpty())
            put(row, row, col, col, text);
    });
    done(true);
    // FreeXL leaves formula cells out; their stored results come from the file itself.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        readXlsFormulas(file.read(kMaxPartBytes));
    return true;
}

// ---- .csv ----

namespace {

// A CSV holds no types: a number is read as a spreadsheet would read it.
QString csvValue(const QByteArray& field) {
    const QString text = QString::fromUtf8(field);
    return isNumeric(text) ? plainDecimal(text.trimmed().toDouble()) : text;
}

// Comma unless the first record holds more semicolons, quoted text not counted.
char csvSeparator(QFile& file) {
    const QByteArray head = file.peek(1 << 16);
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (const char c : head) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

} // namespace

bool WorkbookParser::readCsv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    if (file.peek(3) == QByteArray("\xEF\xBB\xBF"))
        file.read(3);
    const char sep = csvSeparator(file);
    const int lastRow = m_wanted.lastRow();
    int row = 1, col = 1;
    bool quoted = false, afterQuote = false, afterCr = false;
    QByteArray field;
    qint64 total = 0;
    const auto endField = [&] {
        if (m_wanted.anyInRows(row, row))
            put(row, row, col, col, csvValue(field));
        field.clear();
        afterQuote = false;
        ++col;
    };
    // UTF-8 never uses these bytes inside a character, so bytes can be split on.
    QByteArray chunk;
    while (row <= lastRow && !(chunk = file.read(1 << 16)).isEmpty()) {
        total += chunk.size();
        if (total > kMaxPartBytes)
            return fail(QStringLiteral("the file is larger than %1 MB").arg(kMaxPartBytes >> 20));
        for (const char c : qAsConst(chunk)) {
            if (quoted) {
                if (c == '"') {
                    quoted = false;
                    afterQuote = true;
                } else {
                    field.append(c);
                }
                continue;
            }
            if (afterCr && c == '\n') {
                afterCr = false;
                continue;
            }
            afterCr = false;
            if (c == '"') {
                if (afterQuote)
                    field.append('"'); // "" inside quotes
                quoted = true;
                afterQuote = false;
            } else if (c == sep) {
                endField();
            } else if (c == '\r' || c == '\n') {
                endField();
                afterCr = c == '\r';
                ++row;
                col = 1;
                if (row > lastRow)
                    break;
            } else {
                field.append(c);
                afterQuote = false;
            }
        }
    }
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("the file cannot be read (%1)").arg(file.errorString()));
    if (!field.isEmpty() || col > 1)
        endField();
    return true;
}

} // namespace quoteria
