// The cross-reference window of the main window: opened from "Программа", renewed after
// every compile and load, and leading back to the places it lists.

#include "compiler/crossref.h"
#include "gui/crossrefform.h"
#include "gui/placement.h"
#include "gui/programform.h"
#include "gui/programparts.h"
#include "gui/zentoreditor.h"

#include <QTreeWidget>

void TProgramForm::RefreshCrossRef()
{
    // A hidden window is renewed when it is opened again.
    if (!CrossRefForm || !CrossRefForm->isVisible())
        return;
    CrossRefForm->SetCrossReference(Document->CrossReference());
}

void TProgramForm::GoToPlace(int section, int line, int column)
{
    TProgramTreeItem *node = TreeView->FindNode(section < 0 ? TTreeItemInfo::HeaderCode : section);
    if (!node)
        return;
    if (node != TreeView->SelectedNode())
        TreeView->setCurrentItem(node);
    ApplySelectionChange();
    raise();
    activateWindow();
    ProgramREdit->setFocus();
    ProgramREdit->GoToLine(line);
    // The text may have changed since the analysis: the caret stays within the line.
    const int at = ProgramREdit->CaretLine();
    QString text = ProgramREdit->text(at);
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    ProgramREdit->setCursorPosition(at, qBound(0, column - 1, static_cast<int>(text.size())));
}
