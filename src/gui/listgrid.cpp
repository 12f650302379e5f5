#include "gui/listgrid.h"

#include "gui/named.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quoteria {

QTableWidget* newListGrid(QWidget* parent) {
    auto* grid = named(new QTableWidget(parent), "FG");
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    return grid;
}

void resetListGrid(QTableWidget* grid, const QStringList& captions, const QList<int>& twips) {
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(int(captions.size()));
    grid->setHorizontalHeaderLabels(captions);
    grid->setColumnHidden(0, true);
    for (int c = 0; c < twips.size(); ++c)
        grid->setColumnWidth(c + 1, twips.at(c) / 15);
}

void addListRow(QTableWidget* grid, const QStringList& cells) {
    const int row = grid->rowCount();
    grid->insertRow(row);
    for (int c = 0; c < cells.size(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells.at(c)));
}

QString selectedListKey(const QTableWidget* grid) {
    const int row = grid->currentRow();
    if (row < 0 || !grid->item(row, 0))
        return QString();
    return grid->item(row, 0)->text();
}

void layOutListWindow(QWidget* window, QTableWidget* grid, const QList<QPushButton*>& commands,
                      QPushButton* close) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : commands)
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(grid);
    layout->addLayout(buttons);
}

} // namespace quoteria
