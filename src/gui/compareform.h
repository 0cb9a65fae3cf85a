#pragma once
// "Сравнение с контроллером": every header part and every section on either side with its
// result ("совпадает", "отличается", "только в контроллере", "только в программе") and
// what differs; a double click on a part that is not the same shows its two sides in a
// window of their own, the differing lines marked.

#include "model/prpcomparison.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The two sides of one part: the program's lines on the left, the controller's on the
// right, each with its line numbers; the lines that differ have a background of their own.
class TCompareTextsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCompareTextsForm(QWidget *parent = nullptr);

    void SetTexts(const QString &title, const TSideBySide &view);
    // The marked lines of a side (the tests read them).
    static QList<int> MarkedRows(const QTreeWidget *side);

    QTreeWidget *ProgramView;
    QTreeWidget *ControllerView;
    QLabel *NotesLabel;
};

class TCompareForm : public QDialog
{
    Q_OBJECT
public:
    explicit TCompareForm(QWidget *parent = nullptr);

    // Shows a new result and the line that sums it up.
    void SetComparison(const TPrpComparison &result, const QString &summary);
    // Shows the two sides of row r (as a double click does); false for a part that is the
    // same on both sides.
    bool OpenRow(int r);
    void ApplyFilter();

    QTreeWidget *RowsView;
    QCheckBox *OnlyDifferingCheck;
    QLabel *SummaryLabel;
    TCompareTextsForm *TextsForm;
    TPrpComparison Result;
};
