#pragma once
// "Перекрёстные ссылки": every use of every variable and technological name of the program,
// a filter by name or its beginning, the two checks as switches that show only what they
// found, and the parts that did not compile with their messages. A double click leads to
// the place in the header or the section.

#include "compiler/crossref.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class TCrossRefForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCrossRefForm(QWidget *parent = nullptr);

    // Shows a new analysis; the filter and the switches stay as they are.
    void SetCrossReference(const TCrossReference &x);
    // Hides the rows that the filter and the switches leave out.
    void ApplyFilter();
    // Opens the place of a row (as a double click does); false for a row without one.
    bool OpenRow(QTreeWidgetItem *item);

    QLineEdit *FilterEdit;
    QCheckBox *OutsideOrderCheck;
    QCheckBox *UnusedCheck;
    QTreeWidget *UsesView;
    QLabel *SummaryLabel;

    // Where a double click leads: the section (-1 the header), 0-based line, 1-based column.
    std::function<void(int section, int line, int column)> OpenPlace;

    TCrossReference Result;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddFailures();
    void UpdateSummary(int shown);
};
