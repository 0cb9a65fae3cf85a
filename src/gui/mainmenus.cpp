#include "gui/mainmenus.h"

#include "gui/messagelist.h"

#include "gui/algeditform.h"
#include "gui/crossrefform.h"
#include "gui/filecommands.h"
#include "gui/guitexts.h"
#include "gui/guitexts_watch.h"
#include "gui/helpform.h"
#include "gui/placement.h"
#include "gui/programform.h"
#include "gui/programsearch.h"
#include "gui/programstructure.h"
#include "gui/sarvetelvarsform.h"
#include "gui/smallforms.h"
#include "gui/zentoreditor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>

#include <functional>
#include <vector>

namespace {

// One menu item: the window's member that keeps its action, its text and key, and the
// command it runs. An entry without a member is a separator.
struct TMenuEntry
{
    QAction *TProgramForm::*Item = nullptr;
    QString Text;
    QKeySequence Key;
    std::function<void()> Run;
};

// Adds the entries to the menu in their order: each creates its action, stores it in the
// window's member and runs its command.
void AddMenuEntries(TProgramForm &form, QMenu *menu, const std::vector<TMenuEntry> &entries)
{
    for (const TMenuEntry &e : entries) {
        if (!e.Item) {
            menu->addSeparator();
            continue;
        }
        QAction *a = menu->addAction(e.Text);
        if (!e.Key.isEmpty())
            a->setShortcut(e.Key);
        QObject::connect(a, &QAction::triggered, &form, e.Run);
        form.*e.Item = a;
    }
}

QKeySequence Keys(QKeyCombination key)
{
    return QKeySequence(key);
}

} // namespace

void TMainMenus::Build(TProgramForm &f)
{
    FileMenu(f);
    EditMenu(f);
    ProgramMenu(f);
    SettingsMenu(f);
    AddMenuEntries(f, f.menuBar()->addMenu(GuiTexts::MenuHelp),
                   {{&TProgramForm::ContentsItem, GuiTexts::ItemContents, Keys(Qt::Key_F1),
                     [&f] { ShowHelp(f); }},
                    {&TProgramForm::AboutItem, GuiTexts::ItemAbout, {}, [&f] {
                         f.Dialogs.Exec(f.AboutForm);
                     }}});
    TreePopup(f);
    FreeEditorKeys(f);
}

void TMainMenus::FileMenu(TProgramForm &f)
{
    QMenu *file = f.menuBar()->addMenu(GuiTexts::MenuFile);
    AddMenuEntries(f, file,
                   {{&TProgramForm::NewItem, GuiTexts::ItemNew, Keys(Qt::CTRL | Qt::Key_N),
                     [&f] { TFileCommands::New(f); }},
                    {&TProgramForm::OpenItem, GuiTexts::ItemOpen, Keys(Qt::CTRL | Qt::Key_O),
                     [&f] { TFileCommands::Open(f); }},
                    {&TProgramForm::SaveItem, GuiTexts::ItemSave, Keys(Qt::CTRL | Qt::Key_S),
                     [&f] { TFileCommands::Save(f); }},
                    {&TProgramForm::SaveAsItem, GuiTexts::ItemSaveAs,
                     Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [&f] { TFileCommands::SaveAs(f); }},
                    {&TProgramForm::ExportItem, GuiTexts::ItemExport, Keys(Qt::CTRL | Qt::Key_E),
                     [&f] { TFileCommands::Export(f); }},
                    {}});
    for (int k = 1; k <= TRecentFiles::MaxCount; ++k) {
        f.RecentItems[k] = file->addAction(QStringLiteral("&%1.").arg(k));
        f.RecentItems[k]->setVisible(false);
        QObject::connect(f.RecentItems[k], &QAction::triggered, &f,
                         [&f, k] { TFileCommands::OpenRecent(f, k); });
    }
    f.RecentSeparator = file->addSeparator();
    f.RecentSeparator->setVisible(false);
    f.ExitItem = file->addAction(GuiTexts::ItemExit);
    QObject::connect(f.ExitItem, &QAction::triggered, &f, &QWidget::close);
}

void TMainMenus::EditMenu(TProgramForm &f)
{
    QMenu *edit = f.menuBar()->addMenu(GuiTexts::MenuEdit);
    TZentorEditor *editor = f.ProgramREdit;
    const auto onEditor = [editor, edit](const QString &text, const QKeySequence &key,
                                         void (QsciScintilla::*slot)()) {
        QAction *a = edit->addAction(text);
        a->setShortcut(key);
        QObject::connect(a, &QAction::triggered, editor, slot);
        return a;
    };
    f.UndoItem = onEditor(GuiTexts::ItemUndo, QKeySequence::Undo, &QsciScintilla::undo);
    f.RedoItem = onEditor(GuiTexts::ItemRedo, Keys(Qt::CTRL | Qt::Key_Y), &QsciScintilla::redo);
    f.RedoItem->setShortcuts({Keys(Qt::CTRL | Qt::Key_Y), Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    f.CutItem = onEditor(GuiTexts::ItemCut, QKeySequence::Cut, &QsciScintilla::cut);
    // Ctrl+C opens the port settings outside the editor and the message list, so the item
    // only names the key; the editor and the list take it themselves.
    AddMenuEntries(
        f, edit,
        {{&TProgramForm::CopyItem, GuiTexts::ItemCopy + QStringLiteral("\tCtrl+C"), {}, [&f] {
              if (f.EditTarget == f.ErrorsListBox)
                  f.ErrorsListBox->CopySelected();
              else
                  f.ProgramREdit->copy();
          }}});
    f.PasteItem = onEditor(GuiTexts::ItemPaste, QKeySequence::Paste, &QsciScintilla::paste);
    f.SelectAllItem = edit->addAction(GuiTexts::ItemSelectAll);
    f.SelectAllItem->setShortcut(QKeySequence::SelectAll);
    QObject::connect(f.SelectAllItem, &QAction::triggered, editor,
                     [editor] { editor->selectAll(); });
    edit->addSeparator();
    ProgramEditCommands(f, edit);
}

void TMainMenus::ProgramEditCommands(TProgramForm &f, QMenu *edit)
{
    const auto show = [](QWidget *w) {
        w->show();
        w->setFocus();
    };
    // Ctrl+Shift+S belongs to "Сохранить как...": adding a section has no key of its own.
    AddMenuEntries(
        f, edit,
        {{&TProgramForm::GoToSectionItem, GuiTexts::ItemGoToSection, Keys(Qt::CTRL | Qt::Key_G),
          [&f] { TProgramStructure::GoToSection(f); }},
         {&TProgramForm::ShowTreeItem, GuiTexts::ItemShowTree, Keys(Qt::CTRL | Qt::Key_P),
          [&f, show] { show(f.TreeView); }},
         {&TProgramForm::ShowErrorsItem, GuiTexts::ItemShowErrors, Keys(Qt::CTRL | Qt::Key_L),
          [&f, show] { show(f.ErrorsListBox); }},
         {},
         {&TProgramForm::AddBlockItem,
          GuiTexts::ItemAddBlock,
          {},
          [&f] { TProgramStructure::AddGroup(f); }},
         {&TProgramForm::DeleteBlockItem,
          GuiTexts::ItemDeleteBlock,
          {},
          [&f] { TProgramStructure::DeleteGroup(f); }},
         {},
         {&TProgramForm::AddSectionItem,
          GuiTexts::ItemAddSection,
          {},
          [&f] { TProgramStructure::AddSection(f); }},
         {&TProgramForm::RenameSectionItem, GuiTexts::ItemRenameSection,
          Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_R), [&f] { TProgramStructure::RenameSection(f); }},
         {&TProgramForm::DeleteSectionItem, GuiTexts::ItemDeleteSection,
          Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_D), [&f] { TProgramStructure::DeleteSection(f); }},
         {},
         {&TProgramForm::RenumberItem, GuiTexts::ItemRenumber, Keys(Qt::CTRL | Qt::Key_R),
          [&f] { TProgramStructure::Renumber(f); }},
         {},
         {&TProgramForm::FindItem, GuiTexts::ItemFind, Keys(Qt::CTRL | Qt::Key_F),
          [&f] { TProgramSearch::ShowFindInText(f); }},
         {&TProgramForm::FindInProgramItem, GuiTexts::ItemFindInProgram,
          Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_F), [&f] { TProgramSearch::ShowFind(f); }},
         {&TProgramForm::ReplaceInProgramItem,
          GuiTexts::ItemReplaceInProgram,
          {},
          [&f] { f.FindForm->ShowForProgram(true); }},
         {&TProgramForm::GoToLineItem, GuiTexts::ItemGoToLine,
          Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_G), [&f] { TProgramStructure::GoToLine(f); }},
         {&TProgramForm::NextErrorItem, GuiTexts::ItemNextError, Keys(Qt::Key_F8),
          [&f] { TProgramStructure::StepError(f, true); }},
         {&TProgramForm::PreviousErrorItem, GuiTexts::ItemPreviousError,
          Keys(Qt::SHIFT | Qt::Key_F8), [&f] { TProgramStructure::StepError(f, false); }}});
}

void TMainMenus::ProgramMenu(TProgramForm &f)
{
    QMenu *program = f.menuBar()->addMenu(GuiTexts::MenuProgram);
    program->setToolTipsVisible(true); // why F2 and F3 are off
    AddMenuEntries(f, program,
                   {{&TProgramForm::WriteItem, GuiTexts::ItemWrite, Keys(Qt::Key_F2),
                     [&f] { f.WriteToControllerClick(); }},
                    {&TProgramForm::ReadItem, GuiTexts::ItemRead, Keys(Qt::Key_F3),
                     [&f] { f.ReadFromControllerClick(); }},
                    {&TProgramForm::CompareItem, GuiTexts::ItemCompare, Keys(Qt::Key_F4),
                     [&f] { f.CompareWithControllerClick(); }},
                    {&TProgramForm::CompileItem, GuiTexts::ItemCompile, Keys(Qt::Key_F9),
                     [&f] { f.RunCompile(false); }},
                    {&TProgramForm::CompileAllItem, GuiTexts::ItemCompileAll,
                     Keys(Qt::CTRL | Qt::Key_F9), [&f] { f.RunCompile(true); }},
                    {},
                    {&TProgramForm::CrossRefItem, GuiTexts::ItemCrossRef,
                     Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_X), [&f] { ShowCrossReference(f); }}});
    f.ReadTwiceItem = new QAction(GuiTexts::ItemReadTwice, &f);
    f.ReadTwiceItem->setCheckable(true);
    program->insertAction(f.CompareItem, f.ReadTwiceItem);
}

void TMainMenus::SettingsMenu(TProgramForm &f)
{
    QMenu *settings = f.menuBar()->addMenu(GuiTexts::MenuSettings);
    settings->setToolTipsVisible(true);
    AddMenuEntries(
        f, settings,
        {{&TProgramForm::PortSettingsItem, GuiTexts::ItemPortSettings, Keys(Qt::CTRL | Qt::Key_C),
          [&f] { f.PortSettingsClick(); }},
         {&TProgramForm::CompilerOptionsItem, GuiTexts::ItemCompilerOptions,
          Keys(Qt::CTRL | Qt::Key_K), [&f] { f.Dialogs.Exec(f.CompilerOptionsForm); }},
         {&TProgramForm::ConsoleItem, GuiTexts::ItemConsole, Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
          [&f] { f.ConsoleClick(); }},
         {&TProgramForm::VariablesItem, GuiTexts::ItemVariables, {}, [&f] { f.VariablesClick(); }},
         {&TProgramForm::ValuesInTextItem, GuiTexts::ItemValuesInText,
          Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_V), [&f] { f.RefreshValueNotes(); }},
         {&TProgramForm::TrendItem, GuiTexts::ItemTrend, Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
          [&f] { f.ShowTrend({}); }},
         {&TProgramForm::AlgLibraryItem, GuiTexts::ItemAlgLibrary, {}, [&f] {
              if (!f.AlgEditForm)
                  return;
              f.AlgEditForm->Attach(&f.Document->AlgBase(), &f.Dialogs, &f.AlgDialog);
              f.AlgEditForm->BaseReader = f.ControllerBaseReader();
              f.AlgEditForm->show();
              f.AlgEditForm->raise();
              f.AlgEditForm->activateWindow();
          }}});
    f.CompilerOptionsItem->setVisible(false);
    f.VariablesItem->setVisible(false);
    f.ValuesInTextItem->setCheckable(true);
    f.ValuesInTextItem->setChecked(true);
    f.ValuesInTextItem->setVisible(false);
    f.TrendItem->setVisible(false);
}

void TMainMenus::TreePopup(TProgramForm &f)
{
    f.TreePopup = new QMenu(&f);
    auto popup = [&f](const QString &text, QAction *same) {
        QAction *a = f.TreePopup->addAction(text);
        QObject::connect(a, &QAction::triggered, same, &QAction::trigger);
    };
    popup(GuiTexts::PopupAddBlock, f.AddBlockItem);
    popup(GuiTexts::PopupDeleteBlock, f.DeleteBlockItem);
    popup(GuiTexts::PopupAddSection, f.AddSectionItem);
    popup(GuiTexts::PopupRenameSection, f.RenameSectionItem);
    popup(GuiTexts::PopupDeleteSection, f.DeleteSectionItem);
    popup(GuiTexts::PopupCompile, f.CompileItem);
}

void TMainMenus::FreeEditorKeys(TProgramForm &f)
{
    // The editor's own bindings would swallow the menu keys while it has the focus. The
    // menu wins, except for the clipboard and undo keys, which stay with the editor
    // (Ctrl+C copies there; elsewhere it opens the port settings).
    QList<int> menuKeys;
    for (QAction *a : f.findChildren<QAction *>())
        if (!a->shortcut().isEmpty())
            menuKeys.append(a->shortcut()[0].toCombined());
    QList<int> kept;
    for (Qt::Key k : {Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y, Qt::Key_A})
        kept.append(QKeyCombination(Qt::CTRL, k).toCombined());
    for (QsciCommand *cmd : f.ProgramREdit->standardCommands()->commands()) {
        if (menuKeys.contains(cmd->key()) && !kept.contains(cmd->key()))
            cmd->setKey(0);
        if (menuKeys.contains(cmd->alternateKey()) && !kept.contains(cmd->alternateKey()))
            cmd->setAlternateKey(0);
    }
}

void TMainMenus::ShowRecentFiles(TProgramForm &f)
{
    const TRecentFiles &recent = f.RecentFiles;
    for (int k = 1; k <= TRecentFiles::MaxCount; ++k) {
        f.RecentItems[k]->setVisible(k <= recent.Count);
        if (k <= recent.Count)
            f.RecentItems[k]->setText(QStringLiteral("&%1. ").arg(k) + recent.Entries[k]);
    }
    f.RecentSeparator->setVisible(recent.Count >= 1);
}

void TMainMenus::ShowHelp(TProgramForm &f)
{
    const QString file = f.Paths.Find(GuiTexts::HelpFileName);
    auto *help = f.findChild<THelpForm *>();
    if (!help)
        help = new THelpForm(&f);
    if (!help->OpenFile(file)) {
        f.Dialogs.Notice(&f, GuiTexts::HelpMissing + file, GuiTexts::Attention,
                         TUserDialogs::Warning);
        return;
    }
    help->show();
    help->raise();
    help->activateWindow();
}

void TMainMenus::ShowCrossReference(TProgramForm &f)
{
    f.Commit();
    if (!f.CrossRefForm) {
        f.CrossRefForm = new TCrossRefForm(&f);
        f.CrossRefForm->OpenPlace = [&f](int section, int line, int column) {
            f.GoToPlace(section, line, column);
        };
    }
    // Beside the main window or below it: the place it opens stays in sight.
    if (!f.CrossRefForm->isVisible())
        PlaceBeside(f.CrossRefForm, &f, f.ProgramREdit);
    f.CrossRefForm->show();
    f.RefreshCrossRef();
    f.CrossRefForm->raise();
    f.CrossRefForm->activateWindow();
}
