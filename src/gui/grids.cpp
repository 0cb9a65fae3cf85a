#include "gui/grids.h"

#include <QHeaderView>
#include <QTableWidget>

namespace Grids {

QTableWidget *MakeGrid(QWidget *parent, const QStringList &columns)
{
    auto *grid = new QTableWidget(parent);
    grid->setColumnCount(static_cast<int>(columns.size()));
    grid->setHorizontalHeaderLabels(columns);
    grid->verticalHeader()->setVisible(false);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every column as wide as its caption and its cells ask, the last one to the edge: no
    // caption or value is cut (the grid scrolls sideways when narrower).
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void SetCell(QTableWidget *grid, int row, int column, const QString &text)
{
    auto *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

} // namespace Grids
