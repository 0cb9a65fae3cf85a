// The file commands of the main window: New, Open, the recent files, Save, Save as, Export.

#include "files/programfiles.h"
#include "gui/guitexts.h"
#include "gui/programform.h"
#include "gui/zentoreditor.h"

#include <QAction>
#include <QFileInfo>

#include <algorithm>

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

// Extensions of the program's other forms: an image, an old-format file, a header file
// or a member of a section file set. Save as writes only the program source file.
bool IsOtherProgramForm(const QString &ext)
{
    static const QStringList forms{QStringLiteral("PRP"), QStringLiteral("PRG"),
                                   QStringLiteral("HDR")};
    const bool digits = ext.size() == 3 && std::all_of(ext.begin(), ext.end(), [](QChar c) {
                            return c >= u'0' && c <= u'9';
                        });
    return digits || forms.contains(ext);
}

} // namespace

void TProgramForm::SetCaption(const QString &base)
{
    CaptionBase = base;
    setWindowTitle(CaptionBase + (ProgramChanged ? QStringLiteral("*") : QString()));
}

void TProgramForm::SetProgramChanged(bool changed)
{
    ProgramChanged = changed;
    SetCaption(CaptionBase);
}

bool TProgramForm::MayReplaceProgram(const QString &usualQuestion)
{
    if (!ProgramChanged)
        return usualQuestion.isEmpty() ||
               Dialogs.Ask(this, usualQuestion, GuiTexts::Attention, TUserDialogs::YesNo,
                           TUserDialogs::Warning,
                           TUserDialogs::AnswerNo) == TUserDialogs::AnswerYes;
    switch (Dialogs.Ask(this, GuiTexts::AskSaveChanges, GuiTexts::Attention,
                        TUserDialogs::YesNoCancel, TUserDialogs::Warning,
                        TUserDialogs::AnswerCancel)) {
    case TUserDialogs::AnswerYes:
        return Save();
    case TUserDialogs::AnswerNo:
        return true;
    default:
        return false;
    }
}

void TProgramForm::NewClick()
{
    if (!MayReplaceProgram(GuiTexts::AskNew))
        return;
    Program->Clear();
    CurrentFileName.clear();
    ProgramFromImage = false;
    ProgramChanged = false;
    SetCaption(GuiTexts::MainCaption);
    RebuildTree();
    SelectNode(TTreeItemInfo::HeaderCode);
    ApplySelectionChange();
}

void TProgramForm::OpenClick()
{
    if (!MayReplaceProgram(GuiTexts::AskOpen))
        return;
    ClearMessages();
    OpenDialog.Filter = GuiTexts::OpenFilter;
    OpenDialog.FileName.clear();
    if (!Dialogs.ChooseOpenFile(this, OpenDialog))
        return;
    OpenProgramFile(OpenDialog.FileName);
}

void TProgramForm::OpenProgramFile(const QString &fileName)
{
    OpenDialog.InitialDir = FolderOf(fileName);
    OpenFile(fileName);
}

void TProgramForm::RecentFileClick(int k)
{
    if (k < 1 || k > RecentFiles.Count)
        return;
    if (!MayReplaceProgram(GuiTexts::AskOpen))
        return;
    const QString name = RecentFiles.Entries[k]; // the load reorders the entries
    OpenFile(name);
}

void TProgramForm::OpenFile(const QString &fileName)
{
    const bool loaded = Load(fileName);
    // Save writes only a program source file back; after a failed load there is no file
    // the empty program could be saved over.
    const bool source = FileExtension(fileName) == QStringLiteral("ZEN");
    CurrentFileName = loaded && source ? fileName : QString();
    ProgramFromImage = loaded && !source && FileExtension(fileName) != QStringLiteral("PRG");
}

bool TProgramForm::Load(const QString &fileName)
{
    ClearMessages();
    AddMessage(GuiTexts::LoadingFrom + fileName);
    TFileContext ctx = FileContext();
    const int result = LoadFromFile(*Program, fileName, ctx);
    const bool loaded = result == FileOk && !ctx.Damaged;
    ProgramChanged = false;
    if (!loaded) {
        if (!ctx.Error.isEmpty())
            Messages.append(ctx.Error);
        AddMessage(GuiTexts::ReadError);
        Program->Clear();
        SetCaption(GuiTexts::MainCaption);
    } else {
        SetCaption(GuiTexts::EditingCaption + fileName);
        AddMessage(GuiTexts::OkLine);
        RecentFiles.Add(fileName);
        RefreshRecentMenu();
    }
    RebuildTree();
    SelectNode(TTreeItemInfo::HeaderCode);
    ApplySelectionChange();
    return loaded;
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
    Save();
}

bool TProgramForm::Save()
{
    Commit();
    if (CurrentFileName.isEmpty())
        return SaveAs();
    ClearMessages();
    AddMessage(GuiTexts::SavingTo + CurrentFileName + QStringLiteral("..."));
    if (SaveProgram(CurrentFileName) != FileOk)
        return false;
    AddMessage(GuiTexts::OkLineLatin);
    SetProgramChanged(false);
    return true;
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
    SaveAs();
}

bool TProgramForm::SaveAs()
{
    Commit();
    SaveDialog.Filter = GuiTexts::SaveFilter;
    SaveDialog.FilterIndex = 1;
    SaveDialog.FileName = CurrentFileName;
    for (;;) {
        if (!Dialogs.ChooseSaveFile(this, SaveDialog))
            return false;
        const QString ext = NameExtension(SaveDialog.FileName);
        // "new1.prp" would become a text file "new1.prp.zen" that looks like an image.
        if (IsOtherProgramForm(ext)) {
            Dialogs.Notice(this, GuiTexts::SaveAsOtherForm, GuiTexts::Attention,
                           TUserDialogs::Warning);
            continue;
        }
        if (ext != QStringLiteral("ZEN"))
            SaveDialog.FileName += QStringLiteral(".zen");
        bool stop = false;
        if (ConfirmOverwrite(SaveDialog, &stop))
            break;
        if (stop)
            return false;
    }
    const QString name = SaveDialog.FileName;
    SaveDialog.InitialDir = FolderOf(name);
    if (SaveProgram(name) != FileOk)
        return false; // the program stays under its old name; the reason is in the error list
    CurrentFileName = name;
    ProgramFromImage = false;
    ProgramChanged = false;
    SetCaption(GuiTexts::EditingCaption + name);
    RecentFiles.Add(name);
    RefreshRecentMenu();
    return true;
}

void TProgramForm::ExportClick()
{
    Commit();
    ExportDialog.Filter = GuiTexts::ExportFilter;
    ExportDialog.Caption = GuiTexts::ExportCaption;
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
