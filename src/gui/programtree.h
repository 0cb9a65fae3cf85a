#pragma once
// The program tree of the main window: the header, the groups present and their sections,
// each node labelled with its figures from the last compile; failed nodes stand out.

#include "model/zentorprogram.h"

#include <QList>
#include <QTreeWidget>
#include <QTreeWidgetItem>

// A node of the program tree with the record it stands for.
class TProgramTreeItem : public QTreeWidgetItem
{
public:
    explicit TProgramTreeItem(int code) { Info.Code = code; }
    TTreeItemInfo Info;
};

class TProgramTreeView : public QTreeWidget
{
public:
    explicit TProgramTreeView(QWidget *parent = nullptr);

    TProgramTreeItem *FindNode(int code) const;
    TProgramTreeItem *SelectedNode() const;
    void SelectNode(int code);
    // The program's nodes anew, the groups expanded; no node selected.
    void Build(const TZentorProgram &program);
    // Every label from the program's figures; the failed nodes in red with a mark.
    void Relabel(const TZentorProgram &program, const QList<int> &failed);
    // The column as wide as its longest label (the tree scrolls sideways beyond that).
    void FitWidth();
    static QString NodeLabel(const TZentorProgram &program, const TTreeItemInfo &info);
};
