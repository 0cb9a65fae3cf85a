// The structure commands of the main window: sections and groups, go to section, renumber.

#include "gui/programstructure.h"
#include "core/textutils.h"
#include "gui/guitexts.h"
#include "gui/messagelist.h"
#include "gui/programform.h"
#include "gui/programsearch.h"
#include "gui/smallforms.h"
#include "gui/zentoreditor.h"
#include "model/messageplace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>

void TProgramStructure::AddSection(TProgramForm &f)
{
    TProgramTreeItem *node = f.TreeView->SelectedNode();
    if (!node || !(node->Info.IsSection() || node->Info.IsGroup())) {
        f.Dialogs.Notice(&f, GuiTexts::CursorMustBeOnSection, GuiTexts::Attention3,
                         TUserDialogs::Warning);
        return;
    }
    TProgramTreeItem *groupNode =
        node->Info.IsSection() ? static_cast<TProgramTreeItem *>(node->parent()) : node;
    if (!groupNode)
        return;
    const int g = groupNode->Info.Group();
    f.AddSectionForm->SectionNumCB->clear();
    for (int n = 32 * g; n < 32 * (g + 1); ++n)
        if (!f.Document->Program().Sections[n].Present)
            f.AddSectionForm->SectionNumCB->addItem(GuiTexts::SectionWord + SectionNumberText(n));
    if (f.AddSectionForm->SectionNumCB->count() == 0) {
        f.Dialogs.Notice(&f, GuiTexts::NoFreeSections, GuiTexts::Attention3, TUserDialogs::Warning);
        return;
    }
    f.AddSectionForm->SectionNumCB->setCurrentIndex(0);
    if (f.Dialogs.Exec(f.AddSectionForm) != QDialog::Accepted)
        return;
    const int n = ParseSectionNumber(f.AddSectionForm->SectionNumCB->currentText().mid(7, 3));
    if (n < 32 * g || n >= 32 * (g + 1) || f.Document->Program().Sections[n].Present)
        return;
    f.Document->Program().AddSection(n, f.AddSectionForm->NameEdit->text());
    f.ProgramREdit->ForgetNode(n); // no history of a section that had this number before
    auto *child = new TProgramTreeItem(n);
    int place = groupNode->childCount();
    for (int i = 0; i < groupNode->childCount(); ++i)
        if (static_cast<TProgramTreeItem *>(groupNode->child(i))->Info.Code > n) {
            place = i;
            break;
        }
    groupNode->insertChild(place, child);
    groupNode->setExpanded(true);
    child->setText(0, SectionNumberText(n) + u':' + f.Document->Program().Sections[n].Name);
    f.TreeView->FitWidth();
    f.Document->SetChanged(true);
    f.TreeView->setCurrentItem(child);
    f.ApplySelectionChange();
    f.ProgramREdit->setFocus();
}

void TProgramStructure::RenameSection(TProgramForm &f)
{
    TProgramTreeItem *node = f.TreeView->SelectedNode();
    if (!node || !node->Info.IsSection())
        return;
    const int n = node->Info.Code;
    f.EditNameForm->NameEdit->setText(f.Document->Program().Sections[n].Name);
    f.EditNameForm->NameEdit->selectAll();
    if (f.Dialogs.Exec(f.EditNameForm) != QDialog::Accepted)
        return;
    f.Document->Program().RenameSection(n, f.EditNameForm->NameEdit->text());
    f.Document->SetChanged(true);
    node->setText(0, SectionNumberText(n) + u':' + f.Document->Program().Sections[n].Name);
    f.RelabelTree();
    if (f.CurrentNode == &node->Info)
        f.StatusPanel1->setText(GuiTexts::EditingSection + SectionNumberText(n) + u':' +
                                f.Document->Program().Sections[n].Name);
}

void TProgramStructure::DeleteSection(TProgramForm &f)
{
    TProgramTreeItem *node = f.TreeView->SelectedNode();
    if (!node || !node->Info.IsSection())
        return;
    if (f.Dialogs.Ask(&f, GuiTexts::AskDeleteSection, GuiTexts::Attention3, TUserDialogs::OkCancel,
                      TUserDialogs::Warning, TUserDialogs::AnswerCancel) != TUserDialogs::AnswerOk)
        return;
    // The editor's text belongs to the section that goes: nothing of it is committed.
    if (f.CurrentNode == &node->Info) {
        f.CurrentNode = &f.NothingNode;
        f.EditorChanged = false;
    }
    f.ProgramREdit->ForgetNode(node->Info.Code);
    f.Document->Program().DeleteSection(node->Info.Code);
    f.Document->SetChanged(true);
    delete node;
    f.ApplySelectionChange();
    TProgramSearch::Refresh(f);
}

void TProgramStructure::AddGroup(TProgramForm &f)
{
    f.AddBlockForm->BlockNumCB->clear();
    for (int g = 0; g < TZentorProgram::GroupCount; ++g)
        if (!f.Document->Program().GroupPresent[g])
            f.AddBlockForm->BlockNumCB->addItem(GuiTexts::BlockWord + QString::number(g));
    if (f.AddBlockForm->BlockNumCB->count() == 0) {
        f.Dialogs.Notice(&f, GuiTexts::NoFreeBlocks, GuiTexts::Attention3, TUserDialogs::Warning);
        return;
    }
    f.AddBlockForm->BlockNumCB->setCurrentIndex(0);
    if (f.Dialogs.Exec(f.AddBlockForm) != QDialog::Accepted)
        return;
    const QString chosen = f.AddBlockForm->BlockNumCB->currentText();
    const int g = chosen.size() >= 6 ? chosen[5].unicode() - u'0' : -1;
    if (g < 0 || g >= TZentorProgram::GroupCount || f.Document->Program().GroupPresent[g])
        return;
    f.Document->Program().AddGroup(g);
    f.Document->SetChanged(true);
    auto *groupNode = new TProgramTreeItem(256 * (g + 1));
    int place = f.TreeView->topLevelItemCount();
    for (int i = 0; i < f.TreeView->topLevelItemCount(); ++i) {
        const TTreeItemInfo &info =
            static_cast<TProgramTreeItem *>(f.TreeView->topLevelItem(i))->Info;
        if (info.IsGroup() && info.Group() > g) {
            place = i;
            break;
        }
    }
    f.TreeView->insertTopLevelItem(place, groupNode);
    groupNode->setText(0, chosen);
    // Sections that a previous life of the group left present come back with it.
    for (int n = 32 * g; n < 32 * (g + 1); ++n)
        if (f.Document->Program().Sections[n].Present) {
            auto *child = new TProgramTreeItem(n);
            groupNode->addChild(child);
            child->setText(0, TProgramTreeView::NodeLabel(f.Document->Program(), child->Info));
        }
    groupNode->setExpanded(true);
    f.TreeView->FitWidth();
    f.TreeView->setCurrentItem(groupNode);
}

void TProgramStructure::DeleteGroup(TProgramForm &f)
{
    TProgramTreeItem *node = f.TreeView->SelectedNode();
    if (!node || !node->Info.IsGroup())
        return;
    if (f.Dialogs.Ask(&f, GuiTexts::AskDeleteBlock, GuiTexts::Attention3, TUserDialogs::OkCancel,
                      TUserDialogs::Warning, TUserDialogs::AnswerCancel) != TUserDialogs::AnswerOk)
        return;
    const int g = node->Info.Group();
    if (f.CurrentNode->IsSection() && f.CurrentNode->Code / 32 == g) {
        f.CurrentNode = &f.NothingNode;
        f.EditorChanged = false;
    }
    for (int n = 32 * g; n < 32 * (g + 1); ++n)
        f.ProgramREdit->ForgetNode(n);
    f.Document->Program().DeleteGroup(g);
    f.Document->SetChanged(true);
    delete node;
    f.ApplySelectionChange();
    TProgramSearch::Refresh(f);
}

void TProgramStructure::GoToSection(TProgramForm &f)
{
    TProgramTreeItem *node = f.TreeView->SelectedNode();
    const int group = node && node->Info.IsSection() ? node->Info.Code / 32 : 0;
    f.SelectSectionForm->Prepare(&f.Document->Program(), group);
    if (f.Dialogs.Exec(f.SelectSectionForm) != QDialog::Accepted)
        return;
    const QString chosen = f.SelectSectionForm->SectionsCB->currentText();
    if (chosen.size() < 10)
        return;
    const int n = ParseSectionNumber(chosen.mid(7, 3));
    if (n >= 0 && n < TZentorProgram::SectionCount)
        f.TreeView->SelectNode(n);
}

void TProgramStructure::Renumber(TProgramForm &f)
{
    if (!f.CurrentNode->IsSection())
        return;
    const QStringList lines = f.ProgramREdit->Lines();
    int k = 0;
    f.ProgramREdit->beginUndoAction();
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() || !(line[0] >= u'0' && line[0] <= u'9'))
            continue;
        const qsizetype space = line.indexOf(u' ');
        const QString renumbered = OctalText(k++, 2) + (space >= 0 ? line.mid(space) : line);
        if (renumbered == line)
            continue;
        f.ProgramREdit->setSelection(i, 0, i, static_cast<int>(line.size()));
        f.ProgramREdit->replaceSelectedText(renumbered);
    }
    f.ProgramREdit->endUndoAction();
}

void TProgramStructure::GoToLine(TProgramForm &f)
{
    TGoToLineForm form(&f);
    form.LineSpin->setMaximum(qMax(0, f.ProgramREdit->lines() - 1));
    form.LineSpin->setValue(f.ProgramREdit->CaretLine());
    if (f.Dialogs.Exec(&form) != QDialog::Accepted)
        return;
    f.ProgramREdit->setFocus();
    f.ProgramREdit->GoToLine(form.LineSpin->value());
}

void TProgramStructure::StepError(TProgramForm &f, bool forward)
{
    // Within the text shown first; past its last error line, on to the next failed node.
    const QList<int> lines = f.ProgramREdit->ErrorLineNumbers();
    const int caret = f.ProgramREdit->CaretLine();
    const bool more = forward ? !lines.isEmpty() && lines.last() > caret
                              : !lines.isEmpty() && lines.first() < caret;
    const QList<int> nodes = f.Document->FailedNodes();
    const qsizetype here = nodes.indexOf(f.CurrentNode->Code);
    if (more || nodes.isEmpty() || (nodes.size() == 1 && here == 0)) {
        if (forward)
            f.ProgramREdit->GoToNextError();
        else
            f.ProgramREdit->GoToPreviousError();
        return;
    }
    // The header comes before every section.
    const auto rank = [](int code) { return code == TTreeItemInfo::HeaderCode ? -1 : code; };
    qsizetype next = forward ? 0 : nodes.size() - 1;
    if (here >= 0) {
        next = (here + (forward ? 1 : nodes.size() - 1)) % nodes.size();
    } else {
        const int at = rank(f.CurrentNode->Code);
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            const qsizetype k = forward ? i : nodes.size() - 1 - i;
            if (forward ? rank(nodes[k]) > at : rank(nodes[k]) < at) {
                next = k;
                break;
            }
        }
    }
    const QMap<int, QStringList> errors =
        MessagesByPlace(f.Document->Messages()).value(nodes[next]);
    const int line = errors.isEmpty() ? 0 : forward ? errors.firstKey() : errors.lastKey();
    f.GoToPlace(nodes[next] == TTreeItemInfo::HeaderCode ? -1 : nodes[next], line, 1);
    f.ProgramREdit->GoToLine(f.ProgramREdit->MarkedLine(line));
}

void TProgramStructure::GoToMessage(TProgramForm &f)
{
    const int row = f.ErrorsListBox->currentRow();
    const std::vector<TPlacedMessage> &messages = f.Document->Messages();
    if (row <= 0 || row >= f.ErrorsListBox->count() || static_cast<size_t>(row) >= messages.size())
        return;
    const TPlacedMessage &place = messages[static_cast<size_t>(row)];
    if (place.Node < 0)
        return;
    TProgramTreeItem *node = f.TreeView->FindNode(place.Node);
    if (!node)
        return;
    // The line the message names is the text's as compiled; its mark has moved with the
    // editing since.
    if (node == f.TreeView->SelectedNode() && !f.SelectionTimer.isActive()) {
        f.ProgramREdit->GoToLine(f.ProgramREdit->MarkedLine(place.Line));
        f.PendingLine = place.Line;
        f.ProgramREdit->setFocus();
    } else {
        f.PendingLine = place.Line;
        f.TreeView->setCurrentItem(node);
    }
}
