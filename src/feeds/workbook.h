#pragma once
// Reads cells of a workbook file without any office program: .xlsx / .xlsm and
// .ods (zip + XML), legacy .xls, and .csv. Only the first worksheet, in workbook
// order, is read; the file is parsed once per read into the wanted cells only.
#include <QHash>
#include <QString>
#include <QVector>
#include <optional>

namespace quoteria {

// A cell by its row and column, both counted from 1.
struct CellRef {
    int row = 0;
    int col = 0;
    friend bool operator==(const CellRef& a, const CellRef& b) {
        return a.row == b.row && a.col == b.col;
    }
};

class WorkbookCells {
public:
    // The text of a cell as the workbook holds it before number formatting:
    // numbers in plain decimal (no exponent, no trailing zeros), text verbatim,
    // dates as their serial number, formulas as their cached result. Empty for an
    // empty or unread cell.
    QString text(const CellRef& cell) const;

    // Reads `wanted` from the workbook at path. Nothing, with a one-line reason in
    // *error, when the file is missing, damaged, hostile or not a workbook.
    static std::optional<WorkbookCells> read(const QString& path, const QVector<CellRef>& wanted,
                                             QString* error = nullptr);

private:
    QHash<quint64, QString> m_cells;
    friend class WorkbookParser;
};

} // namespace quoteria
