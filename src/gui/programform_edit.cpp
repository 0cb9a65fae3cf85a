// The structure commands of the main window: sections and groups, go to section, renumber.

#include "core/textutils.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/smallforms.h"
#include "gui/zentoreditor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

void TProgramForm::AddSectionClick()
{
    TProgramTreeItem *node = SelectedNode();
    if (!node || !(node->Info.IsSection() || node->Info.IsGroup())) {
        Dialogs.Notice(this, GuiTexts::CursorMustBeOnSection, GuiTexts::Attention3,
                       TUserDialogs::Warning);
        return;
    }
    TProgramTreeItem *groupNode =
        node->Info.IsSection() ? static_cast<TProgramTreeItem *>(node->parent()) : node;
    if (!groupNode)
        return;
    const int g = groupNode->Info.Group();
    AddSectionForm->SectionNumCB->clear();
    for (int n = 32 * g; n < 32 * (g + 1); ++n)
        if (!Document->Program().Sections[n].Present)
            AddSectionForm->SectionNumCB->addItem(GuiTexts::SectionWord + SectionNumberText(n));
    if (AddSectionForm->SectionNumCB->count() == 0) {
        Dialogs.Notice(this, GuiTexts::NoFreeSections, GuiTexts::Attention3, TUserDialogs::Warning);
        return;
    }
    AddSectionForm->SectionNumCB->setCurrentIndex(0);
    if (Dialogs.Exec(AddSectionForm) != QDialog::Accepted)
        return;
    const int n = ParseSectionNumber(AddSectionForm->SectionNumCB->currentText().mid(7, 3));
    if (n < 32 * g || n >= 32 * (g + 1) || Document->Program().Sections[n].Present)
        return;
    Document->Program().AddSection(n, AddSectionForm->NameEdit->text());
    ProgramREdit->ForgetNode(n); // no history of a section that had this number before
    auto *child = new TProgramTreeItem(n);
    int place = groupNode->childCount();
    for (int i = 0; i < groupNode->childCount(); ++i)
        if (static_cast<TProgramTreeItem *>(groupNode->child(i))->Info.Code > n) {
            place = i;
            break;
        }
    groupNode->insertChild(place, child);
    groupNode->setExpanded(true);
    child->setText(0, SectionNumberText(n) + u':' + Document->Program().Sections[n].Name);
    FitTreeWidth();
    Document->SetChanged(true);
    TreeView->setCurrentItem(child);
    ApplySelectionChange();
    ProgramREdit->setFocus();
}

void TProgramForm::RenameSectionClick()
{
    TProgramTreeItem *node = SelectedNode();
    if (!node || !node->Info.IsSection())
        return;
    const int n = node->Info.Code;
    EditNameForm->NameEdit->setText(Document->Program().Sections[n].Name);
    EditNameForm->NameEdit->selectAll();
    if (Dialogs.Exec(EditNameForm) != QDialog::Accepted)
        return;
    Document->Program().RenameSection(n, EditNameForm->NameEdit->text());
    Document->SetChanged(true);
    node->setText(0, SectionNumberText(n) + u':' + Document->Program().Sections[n].Name);
    RelabelTree();
    if (CurrentNode == &node->Info)
        StatusPanel1->setText(GuiTexts::EditingSection + SectionNumberText(n) + u':' +
                              Document->Program().Sections[n].Name);
}

void TProgramForm::DeleteSectionClick()
{
    TProgramTreeItem *node = SelectedNode();
    if (!node || !node->Info.IsSection())
        return;
    if (Dialogs.Ask(this, GuiTexts::AskDeleteSection, GuiTexts::Attention3, TUserDialogs::OkCancel,
                    TUserDialogs::Warning, TUserDialogs::AnswerCancel) != TUserDialogs::AnswerOk)
        return;
    // The editor's text belongs to the section that goes: nothing of it is committed.
    if (CurrentNode == &node->Info) {
        CurrentNode = &NothingNode;
        EditorChanged = false;
    }
    ProgramREdit->ForgetNode(node->Info.Code);
    Document->Program().DeleteSection(node->Info.Code);
    Document->SetChanged(true);
    delete node;
    ApplySelectionChange();
    RefreshSearchResults();
}

void TProgramForm::AddBlockClick()
{
    AddBlockForm->BlockNumCB->clear();
    for (int g = 0; g < TZentorProgram::GroupCount; ++g)
        if (!Document->Program().GroupPresent[g])
            AddBlockForm->BlockNumCB->addItem(GuiTexts::BlockWord + QString::number(g));
    if (AddBlockForm->BlockNumCB->count() == 0) {
        Dialogs.Notice(this, GuiTexts::NoFreeBlocks, GuiTexts::Attention3, TUserDialogs::Warning);
        return;
    }
    AddBlockForm->BlockNumCB->setCurrentIndex(0);
    if (Dialogs.Exec(AddBlockForm) != QDialog::Accepted)
        return;
    const QString chosen = AddBlockForm->BlockNumCB->currentText();
    const int g = chosen.size() >= 6 ? chosen[5].unicode() - u'0' : -1;
    if (g < 0 || g >= TZentorProgram::GroupCount || Document->Program().GroupPresent[g])
        return;
    Document->Program().AddGroup(g);
    Document->SetChanged(true);
    auto *groupNode = new TProgramTreeItem(256 * (g + 1));
    int place = TreeView->topLevelItemCount();
    for (int i = 0; i < TreeView->topLevelItemCount(); ++i) {
        const TTreeItemInfo &info =
            static_cast<TProgramTreeItem *>(TreeView->topLevelItem(i))->Info;
        if (info.IsGroup() && info.Group() > g) {
            place = i;
            break;
        }
    }
    TreeView->insertTopLevelItem(place, groupNode);
    groupNode->setText(0, chosen);
    // Sections that a previous life of the group left present come back with it.
    for (int n = 32 * g; n < 32 * (g + 1); ++n)
        if (Document->Program().Sections[n].Present) {
            auto *child = new TProgramTreeItem(n);
            groupNode->addChild(child);
            child->setText(0, NodeLabel(child->Info));
        }
    groupNode->setExpanded(true);
    FitTreeWidth();
    TreeView->setCurrentItem(groupNode);
}

void TProgramForm::DeleteBlockClick()
{
    TProgramTreeItem *node = SelectedNode();
    if (!node || !node->Info.IsGroup())
        return;
    if (Dialogs.Ask(this, GuiTexts::AskDeleteBlock, GuiTexts::Attention3, TUserDialogs::OkCancel,
                    TUserDialogs::Warning, TUserDialogs::AnswerCancel) != TUserDialogs::AnswerOk)
        return;
    const int g = node->Info.Group();
    if (CurrentNode->IsSection() && CurrentNode->Code / 32 == g) {
        CurrentNode = &NothingNode;
        EditorChanged = false;
    }
    for (int n = 32 * g; n < 32 * (g + 1); ++n)
        ProgramREdit->ForgetNode(n);
    Document->Program().DeleteGroup(g);
    Document->SetChanged(true);
    delete node;
    ApplySelectionChange();
    RefreshSearchResults();
}

void TProgramForm::GoToSectionClick()
{
    TProgramTreeItem *node = SelectedNode();
    const int group = node && node->Info.IsSection() ? node->Info.Code / 32 : 0;
    SelectSectionForm->Prepare(&Document->Program(), group);
    if (Dialogs.Exec(SelectSectionForm) != QDialog::Accepted)
        return;
    const QString chosen = SelectSectionForm->SectionsCB->currentText();
    if (chosen.size() < 10)
        return;
    const int n = ParseSectionNumber(chosen.mid(7, 3));
    if (n >= 0 && n < TZentorProgram::SectionCount)
        SelectNode(n);
}

void TProgramForm::RenumberClick()
{
    if (!CurrentNode->IsSection())
        return;
    const QStringList lines = ProgramREdit->Lines();
    int k = 0;
    ProgramREdit->beginUndoAction();
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() || !(line[0] >= u'0' && line[0] <= u'9'))
            continue;
        const qsizetype space = line.indexOf(u' ');
        const QString renumbered = OctalText(k++, 2) + (space >= 0 ? line.mid(space) : line);
        if (renumbered == line)
            continue;
        ProgramREdit->setSelection(i, 0, i, static_cast<int>(line.size()));
        ProgramREdit->replaceSelectedText(renumbered);
    }
    ProgramREdit->endUndoAction();
}
