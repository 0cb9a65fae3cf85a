// The file commands of the main window: New, Open, the recent files, Save, Save as, Export.

#include "gui/filecommands.h"
#include "files/programfiles.h"
#include "gui/guitexts.h"
#include "gui/mainmenus.h"
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

void TFileCommands::New(TProgramForm &f)
{
    if (!f.MayReplaceProgram(GuiTexts::AskNew))
        return;
    f.Document->New();
    f.SetCaption(GuiTexts::MainCaption);
    f.ApplySelectionChange();
}

void TFileCommands::Open(TProgramForm &f)
{
    if (!f.MayReplaceProgram(GuiTexts::AskOpen))
        return;
    f.Document->ClearMessages();
    f.OpenDialog.Filter = GuiTexts::OpenFilter;
    f.OpenDialog.FileName.clear();
    if (!f.Dialogs.ChooseOpenFile(&f, f.OpenDialog))
        return;
    OpenGiven(f, f.OpenDialog.FileName);
}

void TFileCommands::OpenGiven(TProgramForm &f, const QString &fileName)
{
    f.OpenDialog.InitialDir = FolderOf(fileName);
    OpenFile(f, fileName);
}

void TFileCommands::OpenRecent(TProgramForm &f, int k)
{
    if (k < 1 || k > f.RecentFiles.Count)
        return;
    if (!f.MayReplaceProgram(GuiTexts::AskOpen))
        return;
    const QString name = f.RecentFiles.Entries[k]; // the load reorders the entries
    OpenFile(f, name);
}

void TFileCommands::OpenFile(TProgramForm &f, const QString &fileName)
{
    // The program shown anew comes with the document's news; the caption and the recent
    // files are the window's.
    if (f.Document->Open(fileName)) {
        f.SetCaption(GuiTexts::EditingCaption + fileName);
        f.RecentFiles.Add(fileName);
        TMainMenus::ShowRecentFiles(f);
    } else {
        f.SetCaption(GuiTexts::MainCaption);
    }
    f.ApplySelectionChange();
}

bool TFileCommands::Save(TProgramForm &f)
{
    f.Commit();
    if (f.Document->FileName().isEmpty())
        return SaveAs(f);
    const bool saved = f.Document->Save();
    // A save that compiled the program on the way changes the tree's figures.
    f.RelabelTree();
    return saved;
}

bool TFileCommands::ConfirmOverwrite(TProgramForm &f, TFileDialogSpec &request, bool *stop)
{
    *stop = false;
    if (!QFileInfo::exists(request.FileName))
        return true;
    switch (f.Dialogs.Ask(&f, GuiTexts::AskOverwrite, GuiTexts::Attention,
                          TUserDialogs::YesNoCancel, TUserDialogs::Warning,
                          TUserDialogs::AnswerNo)) {
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

bool TFileCommands::SaveAs(TProgramForm &f)
{
    f.Commit();
    f.SaveDialog.Filter = GuiTexts::SaveFilter;
    f.SaveDialog.FilterIndex = 1;
    f.SaveDialog.FileName = f.Document->FileName();
    for (;;) {
        if (!f.Dialogs.ChooseSaveFile(&f, f.SaveDialog))
            return false;
        const QString ext = NameExtension(f.SaveDialog.FileName);
        // "new1.prp" would become a text file "new1.prp.zen" that looks like an image.
        if (IsOtherProgramForm(ext)) {
            f.Dialogs.Notice(&f, GuiTexts::SaveAsOtherForm, GuiTexts::Attention,
                             TUserDialogs::Warning);
            continue;
        }
        if (ext != QStringLiteral("ZEN"))
            f.SaveDialog.FileName += QStringLiteral(".zen");
        bool stop = false;
        if (ConfirmOverwrite(f, f.SaveDialog, &stop))
            break;
        if (stop)
            return false;
    }
    const QString name = f.SaveDialog.FileName;
    f.SaveDialog.InitialDir = FolderOf(name);
    const bool saved = f.Document->SaveAs(name);
    f.RelabelTree();
    if (!saved)
        return false; // the program stays under its old name; the reason is in the error list
    f.SetCaption(GuiTexts::EditingCaption + name);
    f.RecentFiles.Add(name);
    TMainMenus::ShowRecentFiles(f);
    return true;
}

void TFileCommands::Export(TProgramForm &f)
{
    f.Commit();
    f.ExportDialog.Filter = GuiTexts::ExportFilter;
    f.ExportDialog.Caption = GuiTexts::ExportCaption;
    f.ExportDialog.FileName.clear();
    static const QStringList known{QStringLiteral("ZEN"), QStringLiteral("000"),
                                   QStringLiteral("PRP"), QStringLiteral("PRG")};
    static const QStringList byFilter{QStringLiteral(".000"), QStringLiteral(".prp"),
                                      QStringLiteral(".prg")};
    for (;;) {
        if (!f.Dialogs.ChooseSaveFile(&f, f.ExportDialog))
            return;
        if (!known.contains(NameExtension(f.ExportDialog.FileName)))
            f.ExportDialog.FileName +=
                byFilter[qBound(1, f.ExportDialog.FilterIndex, int(byFilter.size())) - 1];
        bool stop = false;
        if (ConfirmOverwrite(f, f.ExportDialog, &stop))
            break;
        if (stop)
            return;
    }
    const QString name = f.ExportDialog.FileName;
    f.ExportDialog.InitialDir = FolderOf(name);
    const bool saved = f.Document->Export(name);
    f.RelabelTree();
    if (!saved)
        return;
    f.RecentFiles.Add(name);
    TMainMenus::ShowRecentFiles(f);
}
