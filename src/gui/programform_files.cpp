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
    setWindowTitle(CaptionBase + (Document->Changed() ? QStringLiteral("*") : QString()));
}

bool TProgramForm::MayReplaceProgram(const QString &usualQuestion)
{
    if (!Document->Changed())
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
    Document->New();
    SetCaption(GuiTexts::MainCaption);
    ApplySelectionChange();
}

void TProgramForm::OpenClick()
{
    if (!MayReplaceProgram(GuiTexts::AskOpen))
        return;
    Document->ClearMessages();
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
    // The program shown anew comes with the document's news; the caption and the recent
    // files are the window's.
    if (Document->Open(fileName)) {
        SetCaption(GuiTexts::EditingCaption + fileName);
        RecentFiles.Add(fileName);
        RefreshRecentMenu();
    } else {
        SetCaption(GuiTexts::MainCaption);
    }
    ApplySelectionChange();
}

bool TProgramForm::Save()
{
    Commit();
    if (Document->FileName().isEmpty())
        return SaveAs();
    const bool saved = Document->Save();
    // A save that compiled the program on the way changes the tree's figures.
    RelabelTree();
    return saved;
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

bool TProgramForm::SaveAs()
{
    Commit();
    SaveDialog.Filter = GuiTexts::SaveFilter;
    SaveDialog.FilterIndex = 1;
    SaveDialog.FileName = Document->FileName();
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
    const bool saved = Document->SaveAs(name);
    RelabelTree();
    if (!saved)
        return false; // the program stays under its old name; the reason is in the error list
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
    const bool saved = Document->Export(name);
    RelabelTree();
    if (!saved)
        return;
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
