#pragma once
// Inside the workbook reader: the cells asked for, and one parser per file kind.
// Each parser keeps only the wanted cells, so a large sheet costs time, not memory.
#include "feeds/workbook.h"

#include <map>
#include <vector>

namespace quoteria {

// The wanted cells by row, so a row or a run of repeated rows and columns finds
// its wanted cells without visiting the others.
class WantedCells {
public:
    explicit WantedCells(const QVector<CellRef>& cells);
    int lastRow() const { return m_rows.empty() ? 0 : m_rows.rbegin()->first; }
    bool anyInRows(qint64 first, qint64 last) const;
    // Calls f(row, col) for each wanted cell inside the rectangle (bounds included).
    template <typename F> void each(qint64 row0, qint64 row1, qint64 col0, qint64 col1, F f) const {
        for (auto r = m_rows.lower_bound(int(qMin<qint64>(row0, INT_MAX)));
             r != m_rows.end() && r->first <= row1; ++r) {
            auto c = std::lower_bound(r->second.begin(), r->second.end(), col0);
            for (; c != r->second.end() && *c <= col1; ++c)
                f(r->first, *c);
        }
    }

private:
    std::map<int, std::vector<int>> m_rows; // row -> sorted columns
};

class WorkbookParser {
public:
    explicit WorkbookParser(const QVector<CellRef>& wanted) : m_wanted(wanted) {}

    bool readXlsx(const QString& path);
    bool readOds(const QString& path);
    bool readXls(const QString& path);
    bool readCsv(const QString& path);
    // The cached results of the wanted formula cells of a legacy .xls file's first
    // worksheet; cells it cannot find stay as they are.
    void readXlsFormulas(const QByteArray& file);

    // Stores text for every wanted cell of the rectangle.
    void put(qint64 row0, qint64 row1, qint64 col0, qint64 col1, const QString& text);
    bool fail(const QString& why) {
        m_why = why;
        return false;
    }

    const WantedCells& wanted() const { return m_wanted; }
    WorkbookCells& cells() { return m_cells; }
    const QString& why() const { return m_why; }

private:
    WantedCells m_wanted;
    WorkbookCells m_cells;
    QString m_why;
};

// Bounds for any one part of a workbook, and for a whole .xls or .csv file. A 5 MB
// workbook's sheet is some 20 MB of XML; 32 MB is read in about a second.
constexpr qint64 kMaxPartBytes = 32 << 20;
constexpr qint64 kMaxZipRatio = 200;

// A date and time as the spreadsheet's serial number: days since 1899-12-30, the
// time of day as the fraction. Empty when the text is no ISO date.
QString serialFromIsoDate(const QString& iso);

} // namespace quoteria
