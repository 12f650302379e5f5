#pragma once
// The grid of a list window: one row per record, the record's key in a hidden
// column 0, the captions in the header, whole rows selected one at a time.
#include <QList>
#include <QStringList>

class QPushButton;
class QTableWidget;
class QWidget;

namespace quoteria {

QTableWidget* newListGrid(QWidget* parent);
// Empties the grid down to its header: the captions of every column, and the widths
// of columns 1 onwards in twips (15 to a pixel).
void resetListGrid(QTableWidget* grid, const QStringList& captions, const QList<int>& twips);
// One row of texts, column 0 first.
void addListRow(QTableWidget* grid, const QStringList& cells);
// The key in column 0 of the current row; empty when no row is current.
QString selectedListKey(const QTableWidget* grid);
// A list window's layout: the grid filling it, the commands in a row below, Close
// at the right end of that row.
void layOutListWindow(QWidget* window, QTableWidget* grid, const QList<QPushButton*>& commands,
                      QPushButton* close);

} // namespace quoteria
