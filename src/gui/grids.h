#pragma once
// The grids of read-only rows the console's panels and the algorithm base window show.

#include <QString>
#include <QStringList>

class QTableWidget;
class QWidget;

namespace Grids {

// A grid of whole-row selection without editing, with these column captions; each column
// as wide as its caption and cells ask.
QTableWidget *MakeGrid(QWidget *parent, const QStringList &columns);
// Sets the text of a cell, creating its item when the cell has none yet.
void SetCell(QTableWidget *grid, int row, int column, const QString &text);

} // namespace Grids
