// The file commands of the main window: New, Open, the recent files, Save, Save as, Export.

#include "files/programfiles.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/zentoreditor.h"

#include <QAction>
#include <QFileInfo>

namespace {

QString FolderOf(const QString &fileName)
{
    return QFileInfo(fileName).absolutePath();
}

// The extension of the name's last part, upper-cased; "" when it has none.
QString NameExtension(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 ? name.mid(dot + 1).toUpper() : QString();
}

} // namespace

void TProgramForm::NewClick()
{
    if (Dialogs.Ask(this, GuiTexts::AskNew, GuiTexts::Attention, TUserDialogs::YesNo,
                    TUserDialogs::Warning, TUserDialogs::AnswerNo) != TUserDialogs::AnswerYes)
        return;
    Program->Clear();
    CurrentFileName.clear();
    RebuildTree();
    SelectNode(TTreeItemInfo::HeaderCode);
    ApplySelectionChange();
}

void TProgramForm::OpenClick()
{
    if (Dialogs.Ask(this, GuiTexts::AskOpen, GuiTexts::Attention, TUserDialogs::YesNo,
                    TUserDialogs::Warning, TUserDialogs::AnswerNo) != TUserDialogs::AnswerYes)
        return;
    ClearMessages();
    OpenDialog.Filter = GuiTexts::OpenFilter;
    OpenDialog.FileName.clear();
    if (!Dialogs.ChooseOpenFile(this, OpenDialog))
        return;
    const QString name = OpenDialog.FileName;
    CurrentFileName = name;
    OpenDialog.InitialDir = FolderOf(name);
    Load(name);
    if (FileExtension(name) != QStringLiteral("ZEN"))
        CurrentFileName.clear();
}

void TProgramForm::RecentFileClick(int k)
{
    if (k < 1 || k > RecentFiles.Count)
        return;
    if (Dialogs.Ask(this, GuiTexts::AskOpen, GuiTexts::Attention, TUserDialogs::YesNo,
                    TUserDialogs::Warning, TUserDialogs::AnswerNo) != TUserDialogs::AnswerYes)
        return;
    const QString name = RecentFiles.Entries[k];
    Load(name);
    CurrentFileName = FileExtension(name) == QStringLiteral("ZEN") ? name : QString();
}

void TProgramForm::Load(const QString &fileName)
{
    RecentFiles.Add(fileName);
    RefreshRecentMenu();
    ClearMessages();
    AddMessage(GuiTexts::LoadingFrom + fileName);
    TFileContext ctx = FileContext();
    const int result = LoadFromFile(*Program, fileName, ctx);
    if (result != FileOk) {
        if (!ctx.Error.isEmpty())
            Messages.append(ctx.Error);
        AddMessage(GuiTexts::ReadError);
        Program->Clear();
    } else {
        setWindowTitle(GuiTexts::EditingCaption + fileName);
        AddMessage(GuiTexts::OkLine);
    }
    RebuildTree();
    SelectNode(TTreeItemInfo::HeaderCode);
    ApplySelectionChange();
}

int TProgramForm::SaveProgram(const QString &fileName)
{
    TFileContext ctx = FileContext();
    const int result = SaveToFile(*Program, fileName, ctx);
    if (result != FileOk) {
        if (!ctx.Error.isEmpty())
            Messages.append(ctx.Error);
        AddMessage(GuiTexts::SaveError);
    }
    // A save that compiled the program on the way changes the tree's figures.
    RelabelTree();
    return result;
}

void TProgramForm::SaveClick()
{
    Commit();
    if (CurrentFileName.isEmpty()) {
        SaveAsClick();
        return;
    }
    ClearMessages();
    AddMessage(GuiTexts::SavingTo + CurrentFileName + QStringLiteral("..."));
    if (SaveProgram(CurrentFileName) == FileOk)
        AddMessage(GuiTexts::OkLineLatin);
}

bool TProgramForm::ConfirmOverwrite(TFileDialogSpec &request, bool *stop)
{
    *stop = false;
    if (!QFileInfo::exists(request.FileName))
        return true;
    switch (Dialogs.Ask(this, GuiTexts::AskOverwrite, GuiTexts::Attention,
                        TUserDialogs::YesNoCancel, TUserDialogs::Warning, TUserDialogs::AnswerNo)) {
    case TUserDialogs::AnswerYes:
        return true;
    case TUserDialogs::AnswerNo:
        request.FileName.clear();
        return false;
    default:
        *stop = true;
        return false;
    }
}

void TProgramForm::SaveAsClick()
{
    Commit();
    SaveDialog.Filter = GuiTexts::SaveFilter;
    SaveDialog.FilterIndex = 1;
    SaveDialog.FileName = CurrentFileName;
    for (;;) {
        if (!Dialogs.ChooseSaveFile(this, SaveDialog))
            return;
        if (NameExtension(SaveDialog.FileName) != QStringLiteral("ZEN"))
            SaveDialog.FileName += QStringLiteral(".zen");
        bool stop = false;
        if (ConfirmOverwrite(SaveDialog, &stop))
            break;
        if (stop)
            return;
    }
    const QString name = SaveDialog.FileName;
    SaveDialog.InitialDir = FolderOf(name);
    if (SaveProgram(name) != FileOk)
        return; // the program stays under its old name; the reason is in the error list
    setWindowTitle(GuiTexts::EditingCaption + name);
    CurrentFileName = name;
    RecentFiles.Add(name);
    RefreshRecentMenu();
}

void TProgramForm::ExportClick()
{
    Commit();
    ExportDialog.Filter = GuiTexts::ExportFilter;
    ExportDialog.FileName.clear();
    static const QStringList known{QStringLiteral("ZEN"), QStringLiteral("000"),
                                   QStringLiteral("PRP"), QStringLiteral("PRG")};
    static const QStringList byFilter{QStringLiteral(".000"), QStringLiteral(".prp"),
                                      QStringLiteral(".prg")};
    for (;;) {
        if (!Dialogs.ChooseSaveFile(this, ExportDialog))
            return;
        if (!known.contains(NameExtension(ExportDialog.FileName)))
            ExportDialog.FileName +=
                byFilter[qBound(1, ExportDialog.FilterIndex, int(byFilter.size())) - 1];
        bool stop = false;
        if (ConfirmOverwrite(ExportDialog, &stop))
            break;
        if (stop)
            return;
    }
    const QString name = ExportDialog.FileName;
    ExportDialog.InitialDir = FolderOf(name);
    ClearMessages();
    AddMessage(GuiTexts::ExportingTo + name + QStringLiteral(" ..."));
    if (SaveProgram(name) != FileOk)
        return;
    AddMessage(GuiTexts::OkLine);
    RecentFiles.Add(name);
    RefreshRecentMenu();
}

void TProgramForm::RefreshRecentMenu()
{
    for (int k = 1; k <= TRecentFiles::MaxCount; ++k) {
        RecentItems[k]->setVisible(k <= RecentFiles.Count);
        if (k <= RecentFiles.Count)
            RecentItems[k]->setText(QStringLiteral("&%1. ").arg(k) + RecentFiles.Entries[k]);
    }
    RecentSeparator->setVisible(RecentFiles.Count >= 1);
}
